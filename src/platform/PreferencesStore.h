// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <map>
#include <optional>
#include <string>

#include "platform/SettingValue.h"

namespace quillby {

// The user's persistent preferences: flat keys with stored values. Every write reaches the disk
// before it returns, and a write never loses a key that another process wrote meanwhile.
class PreferencesStore {
  public:
    virtual ~PreferencesStore() = default;

    virtual std::optional<SettingValue> read(const std::string& key) = 0;
    virtual std::map<std::string, SettingValue> readAll() = 0;
    // False when the value could not be stored (logged by the store).
    virtual bool write(const std::string& key, const SettingValue& value) = 0;
    // Why the stored values could not be read at the last read (they then read as missing), or
    // why the last write failed; "" when neither. Nothing stored yet is no failure.
    virtual std::string failure() { return ""; }
};

}  // namespace quillby
