// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/settings/SettingsKeys.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <string>

#include "core/settings/UserDefaults.h"

namespace quillby {

namespace {

using enum SettingType;
using R = SettingRegistrar;
using V = SettingValue;

const SettingKeyInfo kTable[] = {
    {SettingsKey::SpaceAlarm, Float, R::Preferences, V(0.1), 0.0, 1.0,
     "free-space alarm threshold, as a fraction of the volume"},
    {SettingsKey::MemoryAlarm, Float, R::Preferences, V(0.1), 0.0, 1.0,
     "free-memory alarm threshold, as a fraction of memory"},
    {SettingsKey::SystemCaches, Integer, R::Preferences, V(std::int64_t{1}), 0, 2,
     "System Caches selection: 0 none, 1 all, 2 some"},
    {SettingsKey::UserCaches, Integer, R::Preferences, V(std::int64_t{1}), 0, 2,
     "User Caches selection: 0 none, 1 all, 2 some"},
    {SettingsKey::SystemLogs, Integer, R::Preferences, V(std::int64_t{1}), 0, 2,
     "System Logs selection: 0 none, 1 all, 2 some"},
    {SettingsKey::UserLogs, Integer, R::Preferences, V(std::int64_t{1}), 0, 2,
     "User Logs selection: 0 none, 1 all, 2 some"},
    {SettingsKey::UserTrash, Integer, R::Preferences, V(std::int64_t{0}), 0, 2,
     "User Trash selection: 0 none, 1 all, 2 some"},
    {SettingsKey::UserDownloads, Integer, R::Preferences, V(std::int64_t{0}), 0, 2,
     "User Downloads selection: 0 none, 1 all, 2 some"},
    {SettingsKey::LoginCheck, Integer, R::Preferences, V(std::int64_t{0}), std::nullopt,
     std::nullopt, "1 when the program starts at login (the main window then stays closed)"},
    {SettingsKey::QWLoginItemIsHide, Boolean, R::Preferences, V(false), std::nullopt, std::nullopt,
     "login item hidden flag"},
    {SettingsKey::QWMyMacClicked, Integer, R::Preferences, V(std::int64_t{1}), std::nullopt,
     std::nullopt, "registered only"},
    {SettingsKey::QWLastClickRow, Integer, R::Preferences, V(std::int64_t{0}), std::nullopt,
     std::nullopt, "last selected row of the main window's feature list"},
    {SettingsKey::QWToolbarItem, UnsignedInteger, R::Preferences, V(std::int64_t{0}), 0,
     std::nullopt, "registered only"},
    {SettingsKey::QWToolbarItem_app, UnsignedInteger, R::Preferences, V(std::int64_t{0}), 0,
     std::nullopt, "last shown page of the main window"},
    {SettingsKey::QWDuplicationLimit, Integer, R::Preferences, V(std::int64_t{1}), 0, std::nullopt,
     "minimum file size for the duplicate search, in its unit"},
    {SettingsKey::QWDuplicatesUnit, Integer, R::Preferences, V(std::int64_t{2}), std::nullopt,
     std::nullopt, "unit of the duplicate limit: 0 B, 1 KB, 2 MB, 3 GB, 4 TB"},
    {SettingsKey::QWHidenDuplication, Boolean, R::Preferences, V(false), std::nullopt, std::nullopt,
     "include hidden files in the duplicate search"},
    {SettingsKey::QWSystemDuplication, Boolean, R::Preferences, V(false), std::nullopt,
     std::nullopt, "include system files in the duplicate search"},
    {SettingsKey::DuplicateExcludes, PathList, R::Preferences, V(std::string()), std::nullopt,
     std::nullopt, "folders and name globs the duplicate search never reads, one a line"},
    {SettingsKey::QWShowStatusItem, Boolean, R::Preferences, V(false), std::nullopt, std::nullopt,
     "true hides the tray icon"},
    {SettingsKey::QWDiskUsageShowStyle, Boolean, R::Preferences, V(false), std::nullopt,
     std::nullopt, "disk usage display: true ring chart, false column browser (the default)"},
    {SettingsKey::QWDiskUsageLimit, Integer, R::Preferences, V(std::int64_t{0}), 0, std::nullopt,
     "size limit of the disk-usage lists, in its unit"},
    {SettingsKey::QWDiskUsageUnit, Integer, R::Preferences, V(std::int64_t{0}), std::nullopt,
     std::nullopt, "unit of the disk-usage limit: 0 B, 1 KB, 2 MB, 3 GB, 4 TB"},
    {SettingsKey::DiskUsageAllocatedSize, Boolean, R::Preferences, V(false), std::nullopt,
     std::nullopt, "disk-usage sizes: true the space taken on the disk, false apparent sizes"},
    {SettingsKey::DiskUsageExcludes, PathList, R::Preferences, V(std::string()), std::nullopt,
     std::nullopt, "folders the disk-usage scans never read, one absolute path a line"},
    {SettingsKey::DiskUsageChartKind, Text, R::Preferences, V(std::string("ring")), std::nullopt,
     std::nullopt, "disk-usage results chart: ring or treemap", "ring treemap"},
    {SettingsKey::SUEnableAutomaticChecks, Boolean, R::None, std::nullopt, std::nullopt,
     std::nullopt, "ask PackageKit for a newer quillby-pro package"},
    {SettingsKey::SUScheduledCheckInterval, Integer, R::None, std::nullopt, 0, std::nullopt,
     "seconds between update checks (at least 3600; none stored: daily)"},
    {SettingsKey::DisplayType, Integer, R::None, std::nullopt, std::nullopt, std::nullopt,
     "display type, copied into the settings snapshot"},
    {SettingsKey::fade, Boolean, R::MainWindow, V(true), std::nullopt, std::nullopt,
     "cross-fade when the main window switches pages"},
    {SettingsKey::ConfirmClean, Boolean, R::Preferences, V(true), std::nullopt, std::nullopt,
     "ask before a clean deletes its categories for good"},
    {SettingsKey::SystemJournalLimit, Integer, R::Preferences, V(std::int64_t{200}), 16, 1000000,
     "megabytes the system clean trims the system journal to"},
    {SettingsKey::shiftSlowsAnimation, Boolean, R::MainWindow, V(true), std::nullopt, std::nullopt,
     "holding Shift slows the page-switch animation"},
};

std::optional<bool> parseBool(std::string_view text) {
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (lower == "true" || lower == "yes" || lower == "on" || lower == "1") return true;
    if (lower == "false" || lower == "no" || lower == "off" || lower == "0") return false;
    return std::nullopt;
}

std::optional<std::int64_t> parseInteger(std::string_view text) {
    std::int64_t value = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || text.empty()) return std::nullopt;
    return value;
}

std::optional<double> parseFloat(std::string_view text) {
    double value = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || text.empty() ||
        !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

std::string numberText(double value) {
    char buffer[32];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

}  // namespace

std::span<const SettingKeyInfo> settingKeyTable() {
    return kTable;
}

const SettingKeyInfo* findSettingKey(std::string_view name) {
    for (const auto& key : kTable) {
        if (name == key.name) return &key;
    }
    return nullptr;
}

std::string_view settingTypeName(SettingType type) {
    switch (type) {
        case Float:
            return "float";
        case Integer:
            return "integer";
        case UnsignedInteger:
            return "unsigned";
        case Boolean:
            return "boolean";
        case PathList:
            return "paths";
        case Text:
            return "text";
    }
    return "?";
}

std::map<std::string, SettingValue> registeredDefaultsOf(SettingRegistrar registrar) {
    std::map<std::string, SettingValue> defaults;
    for (const auto& key : kTable) {
        if (key.registrar == registrar && key.registeredDefault) {
            defaults.emplace(key.name, *key.registeredDefault);
        }
    }
    return defaults;
}

namespace {

// Whether `text` is one of the space-separated words of `choices`.
bool isChoice(std::string_view choices, std::string_view text) {
    while (!choices.empty()) {
        std::size_t end = std::min(choices.find(' '), choices.size());
        if (choices.substr(0, end) == text) return true;
        choices.remove_prefix(std::min(end + 1, choices.size()));
    }
    return false;
}

}  // namespace

SettingInput parseSettingInput(const SettingKeyInfo& key, std::string_view text) {
    SettingInput input;
    double numeric = 0;
    switch (key.type) {
        case Boolean: {
            auto value = parseBool(text);
            if (!value) {
                input.error = std::string(key.name) + " takes a boolean (true or false), not '" +
                              std::string(text) + "'";
                return input;
            }
            input.value = *value;
            return input;
        }
        case Text:
            if (key.choices && !isChoice(key.choices, text)) {
                input.error = std::string(key.name) + " takes one of: " + key.choices + "; not '" +
                              std::string(text) + "'";
                return input;
            }
            input.value = std::string(text);
            return input;
        case PathList:
            input.value = std::string(text);
            return input;
        case Float: {
            auto value = parseFloat(text);
            if (!value) {
                input.error =
                    std::string(key.name) + " takes a number, not '" + std::string(text) + "'";
                return input;
            }
            numeric = *value;
            input.value = *value;
            break;
        }
        case Integer:
        case UnsignedInteger: {
            auto value = parseInteger(text);
            if (!value) {
                input.error = std::string(key.name) + " takes a whole number, not '" +
                              std::string(text) + "'";
                return input;
            }
            numeric = static_cast<double>(*value);
            input.value = *value;
            break;
        }
    }
    bool low = key.minimum && numeric < *key.minimum;
    bool high = key.maximum && numeric > *key.maximum;
    if (low || high) {
        input.value.reset();
        input.error = std::string(key.name) + " must be ";
        if (key.minimum && key.maximum) {
            input.error +=
                "between " + numberText(*key.minimum) + " and " + numberText(*key.maximum);
        } else if (key.minimum) {
            input.error += "at least " + numberText(*key.minimum);
        } else {
            input.error += "at most " + numberText(*key.maximum);
        }
        input.error += ", not " + std::string(text);
    }
    return input;
}

void registerDefaultsOnce(UserDefaults& defaults, SettingRegistrar registrar) {
    const char* name = registrar == SettingRegistrar::Preferences  ? "PreferenceViewController"
                       : registrar == SettingRegistrar::MainWindow ? "AppController"
                                                                   : "none";
    defaults.registerOnce(name, [registrar](UserDefaults& d) {
        d.registerDefaults(registeredDefaultsOf(registrar));
    });
}

}  // namespace quillby
