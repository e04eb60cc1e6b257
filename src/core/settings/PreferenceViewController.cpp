// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/settings/PreferenceViewController.h"

#include <string>
#include <vector>

#include "core/events/EventBus.h"
#include "core/events/Events.h"
#include "core/settings/SettingsKeys.h"
#include "core/settings/UserDefaults.h"

namespace quillby {

namespace {

UserDefaults& defaults() {
    PreferenceViewController::initialize();
    return UserDefaults::standardUserDefaults();
}

}  // namespace

void PreferenceViewController::initialize() {
    registerDefaultsOnce(UserDefaults::standardUserDefaults(), SettingRegistrar::Preferences);
}

std::int64_t PreferenceViewController::categoryClicked(int category) {
    if (category < 0 || category > 5) return 0;
    return defaults().integerForKey(categorySettingKeys[category]);
}

void PreferenceViewController::setCategoryClicked(int category, std::int64_t value) {
    if (category < 0 || category > 5) return;
    bool changed = categoryClicked(category) != value;
    defaults().setInteger(value, categorySettingKeys[category]);
    if (!changed) return;
    std::vector<std::string> texts;
    for (int id = 0; id < 6; ++id) texts.push_back(std::to_string(categoryClicked(id)));
    EventBus::defaultCenter().post(Events::updateSelectNumber, texts);
}

std::int64_t PreferenceViewController::getSystemCashesClicked() {
    return categoryClicked(0);
}
std::int64_t PreferenceViewController::getUserCashesClicked() {
    return categoryClicked(1);
}
void PreferenceViewController::setSystemLogsClicked(std::int64_t v) {
    setCategoryClicked(2, v);
}
std::int64_t PreferenceViewController::getSystemLogsClickedClicked() {
    return categoryClicked(2);
}
void PreferenceViewController::setUserLogsClicked(std::int64_t v) {
    setCategoryClicked(3, v);
}
std::int64_t PreferenceViewController::getUserLogsClicked() {
    return categoryClicked(3);
}
void PreferenceViewController::setUserTrashClicked(std::int64_t v) {
    setCategoryClicked(4, v);
}
std::int64_t PreferenceViewController::getUserTrashClicked() {
    return categoryClicked(4);
}
void PreferenceViewController::setUserDownLoadsFolderClicked(std::int64_t v) {
    setCategoryClicked(5, v);
}
std::int64_t PreferenceViewController::getUserDownLoadsFoldeClicked() {
    return categoryClicked(5);
}

void PreferenceViewController::setLastClickRow(std::int64_t row) {
    defaults().setInteger(row, SettingsKey::QWLastClickRow);
}

std::int64_t PreferenceViewController::getLastClickRow() {
    return defaults().integerForKey(SettingsKey::QWLastClickRow);
}

void PreferenceViewController::setLoginItemIsHide(std::int64_t hide) {
    defaults().setInteger(hide, SettingsKey::QWLoginItemIsHide);
}

bool PreferenceViewController::getLoginItemIsHide() {
    return defaults().boolForKey(SettingsKey::QWLoginItemIsHide);
}

void PreferenceViewController::setHiddenStatusItem(bool hidden) {
    defaults().setBool(hidden, SettingsKey::QWShowStatusItem);
}

bool PreferenceViewController::getHiddenStatusItem() {
    return defaults().boolForKey(SettingsKey::QWShowStatusItem);
}

}  // namespace quillby
