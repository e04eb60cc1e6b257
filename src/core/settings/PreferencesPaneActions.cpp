// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/settings/PreferencesPaneActions.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>

#include "core/events/EventBus.h"
#include "core/events/Events.h"
#include "core/events/Log.h"
#include "core/settings/PreferenceViewController.h"
#include "core/settings/SettingsKeys.h"
#include "core/settings/UserDefaults.h"

namespace quillby {

std::string PreferencesPaneActions::controlTextDidChange(int tag, std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    if (text.size() >= 5) text.resize(4);
    auto& defaults = UserDefaults::standardUserDefaults();
    std::int64_t number = std::strtoll(text.c_str(), nullptr, 10);
    if (tag == kDiskUsageLimitTag) {
        defaults.setInteger(number, SettingsKey::QWDiskUsageLimit);
    } else if (tag == kDuplicationLimitTag) {
        defaults.setInteger(number, SettingsKey::QWDuplicationLimit);
    }
    return text;
}

bool PreferencesPaneActions::isPartialStringValid(std::string_view partial) {
    return std::all_of(partial.begin(), partial.end(),
                       [](unsigned char c) { return c >= '0' && c <= '9'; });
}

void PreferencesPaneActions::categorySwitchAction(int tag) {
    int category = tag - 1;
    if (category < 0 || category > 5) return;
    std::int64_t value = PreferenceViewController::categoryClicked(category);
    PreferenceViewController::setCategoryClicked(category, value != 0 ? 1 : 0);
    EventBus::defaultCenter().post(Events::changeCheckBox, {},
                                   {{EventKeys::tag, tag}, {EventKeys::flag, value == 0}});
}

bool PreferencesPaneActions::changeShowStatusBtnClick() {
    bool hidden = !PreferenceViewController::getHiddenStatusItem();
    QWLog("ischose:%d", hidden ? 1 : 0);
    PreferenceViewController::setHiddenStatusItem(hidden);
    EventBus::defaultCenter().post(Events::setStatusBarHidden, hidden);
    return hidden;
}

void PreferencesPaneActions::loginButtonAction(int state,
                                               const std::function<bool(bool)>& registerAtLogin) {
    UserDefaults::standardUserDefaults().setInteger(state, SettingsKey::LoginCheck);
    bool ok = registerAtLogin ? registerAtLogin(state == 1) : false;
    if (state == 1 && !ok) QWLog("Registry login item failed!!!");
}

}  // namespace quillby
