// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/settings/SettingItems.h"

namespace quillby {

namespace {

struct Field {
    const char* key;
    std::string SettingItems::*member;
};

constexpr Field kFields[] = {
    {"ErrorValue", &SettingItems::errorValue}, {"Graphic", &SettingItems::graphic},
    {"Digital", &SettingItems::digital},       {"SystemCache", &SettingItems::systemCaches},
    {"UserCaches", &SettingItems::userCaches}, {"SystemLog", &SettingItems::systemLogs},
    {"UserLogs", &SettingItems::userLogs},     {"UserTrash", &SettingItems::userTrash},
    {"Downloads", &SettingItems::downloads},
};

}  // namespace

std::map<std::string, std::string> SettingItems::encodeWithCoder() const {
    std::map<std::string, std::string> coder;
    for (const auto& field : kFields) coder[field.key] = this->*field.member;
    return coder;
}

SettingItems SettingItems::initWithCoder(const std::map<std::string, std::string>& coder) {
    SettingItems items;
    for (const auto& field : kFields) {
        if (auto it = coder.find(field.key); it != coder.end()) items.*field.member = it->second;
    }
    return items;
}

}  // namespace quillby
