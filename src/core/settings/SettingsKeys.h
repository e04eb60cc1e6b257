// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "platform/SettingValue.h"

namespace quillby {

// The names of every setting.
namespace SettingsKey {
inline constexpr const char* SpaceAlarm = "SpaceAlarm";
inline constexpr const char* MemoryAlarm = "MemoryAlarm";
inline constexpr const char* SystemCaches = "SystemCaches";
inline constexpr const char* UserCaches = "UserCaches";
inline constexpr const char* SystemLogs = "SystemLogs";
inline constexpr const char* UserLogs = "UserLogs";
inline constexpr const char* UserTrash = "UserTrash";
inline constexpr const char* UserDownloads = "UserDownloads";
inline constexpr const char* LoginCheck = "LoginCheck";
inline constexpr const char* QWLoginItemIsHide = "QWLoginItemIsHide";
inline constexpr const char* QWMyMacClicked = "QWMyMacClicked";
inline constexpr const char* QWLastClickRow = "QWLastClickRow";
inline constexpr const char* QWToolbarItem = "QWToolbarItem";
inline constexpr const char* QWToolbarItem_app = "QWToolbarItem_app";
inline constexpr const char* QWDuplicationLimit = "QWDuplicationLimit";
inline constexpr const char* QWDuplicatesUnit = "QWDuplicatesUnit";
inline constexpr const char* QWHidenDuplication = "QWHidenDuplication";
inline constexpr const char* QWSystemDuplication = "QWSystemDuplication";
inline constexpr const char* DuplicateExcludes = "DuplicateExcludes";
inline constexpr const char* QWShowStatusItem = "QWShowStatusItem";
inline constexpr const char* QWDiskUsageShowStyle = "QWDiskUsageShowStyle";
inline constexpr const char* QWDiskUsageLimit = "QWDiskUsageLimit";
inline constexpr const char* QWDiskUsageUnit = "QWDiskUsageUnit";
inline constexpr const char* DiskUsageAllocatedSize = "DiskUsageAllocatedSize";
inline constexpr const char* DiskUsageExcludes = "DiskUsageExcludes";
inline constexpr const char* DiskUsageChartKind = "DiskUsageChartKind";
inline constexpr const char* SUEnableAutomaticChecks = "SUEnableAutomaticChecks";
inline constexpr const char* SUScheduledCheckInterval = "SUScheduledCheckInterval";
inline constexpr const char* DisplayType = "DisplayType";
inline constexpr const char* fade = "fade";
inline constexpr const char* shiftSlowsAnimation = "shiftSlowsAnimation";
inline constexpr const char* ConfirmClean = "ConfirmClean";
inline constexpr const char* SystemJournalLimit = "SystemJournalLimit";
}  // namespace SettingsKey

// PathList: paths (or patterns), one a line, stored as one text (UserDefaults::linesForKey).
// Text: one word of a few the key's meaning names.
enum class SettingType { Float, Integer, UnsignedInteger, Boolean, PathList, Text };

// Who registers a key's default: the preferences' class initialisation, the main window, or
// nobody (the key reads 0 or false until written).
enum class SettingRegistrar { Preferences, MainWindow, None };

struct SettingKeyInfo {
    const char* name;
    SettingType type;
    SettingRegistrar registrar;
    std::optional<SettingValue> registeredDefault;
    // Accepted range for writes from outside the program (inclusive).
    std::optional<double> minimum;
    std::optional<double> maximum;
    const char* meaning;
    // For text: the words accepted, separated by spaces; none: any text.
    const char* choices = nullptr;
};

// Every setting the program keeps, in a fixed order.
std::span<const SettingKeyInfo> settingKeyTable();
const SettingKeyInfo* findSettingKey(std::string_view name);
std::string_view settingTypeName(SettingType type);

// The defaults one registrar registers.
std::map<std::string, SettingValue> registeredDefaultsOf(SettingRegistrar registrar);

// The clean categories' setting keys, indexed by category id 0 ... 5.
inline constexpr const char* categorySettingKeys[6] = {
    SettingsKey::SystemCaches, SettingsKey::UserCaches, SettingsKey::SystemLogs,
    SettingsKey::UserLogs,     SettingsKey::UserTrash,  SettingsKey::UserDownloads};

// Reads a value typed by a user for a key: the value, or a one-line reason for refusing it
// (wrong type or out of range).
struct SettingInput {
    std::optional<SettingValue> value;
    std::string error;
};
SettingInput parseSettingInput(const SettingKeyInfo& key, std::string_view text);

class UserDefaults;
// Registers a registrar's defaults on `defaults`, once per settings object.
void registerDefaultsOnce(UserDefaults& defaults, SettingRegistrar registrar);

}  // namespace quillby
