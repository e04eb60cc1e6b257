// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/text/UtilityFunctionOfData.h"

#include <cstdio>

#include "core/settings/PreferenceViewController.h"
#include "core/settings/SettingsKeys.h"
#include "core/settings/UserDefaults.h"
#include "core/text/PlainText.h"

namespace quillby {

namespace {

std::string integerText(const char* key) {
    return std::to_string(
        static_cast<long>(UserDefaults::standardUserDefaults().integerForKey(key)));
}

}  // namespace

UtilityFunctionOfData& UtilityFunctionOfData::getMyData() {
    static auto* data = new UtilityFunctionOfData;  // lives for the whole process
    return *data;
}

SettingItems UtilityFunctionOfData::readerTxtForSettingValue() const {
    PreferenceViewController::initialize();
    SettingItems items;
    items.digital = integerText(SettingsKey::DisplayType);
    char alarm[64];
    std::snprintf(alarm, sizeof alarm, "%f",
                  static_cast<double>(
                      UserDefaults::standardUserDefaults().floatForKey(SettingsKey::SpaceAlarm)));
    items.errorValue = alarm;
    items.systemCaches = integerText(SettingsKey::SystemCaches);
    items.systemLogs = integerText(SettingsKey::SystemLogs);
    items.userCaches = integerText(SettingsKey::UserCaches);
    items.userLogs = integerText(SettingsKey::UserLogs);
    items.userTrash = integerText(SettingsKey::UserTrash);
    items.downloads = integerText(SettingsKey::UserDownloads);
    return items;
}

std::optional<std::map<std::string, std::string>> UtilityFunctionOfData::parseFormBodyWith(
    const std::optional<std::string>& body) const {
    if (!body) return std::nullopt;
    std::map<std::string, std::string> pairs;
    for (const auto& piece : splitText(*body, "&")) {
        auto parts = splitText(piece, "=");
        if (parts.size() == 2) pairs[parts[0]] = parts[1];
    }
    return pairs;
}

}  // namespace quillby
