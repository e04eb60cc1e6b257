// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <map>
#include <string>

namespace quillby {

// A snapshot of the main settings as texts.
struct SettingItems {
    std::string errorValue;
    std::string graphic;
    std::string digital;
    std::string systemCaches;
    std::string userCaches;
    std::string systemLogs;
    std::string userLogs;
    std::string userTrash;
    std::string downloads;

    // The keyed form, under the serialised keys ("ErrorValue", "SystemCache", ...).
    std::map<std::string, std::string> encodeWithCoder() const;
    // Fields whose key is missing stay empty.
    static SettingItems initWithCoder(const std::map<std::string, std::string>& coder);

    bool operator==(const SettingItems&) const = default;
};

}  // namespace quillby
