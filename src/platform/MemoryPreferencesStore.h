// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <mutex>

#include "platform/PreferencesStore.h"

namespace quillby {

// Preferences kept in memory only: the fallback when no store is installed, and the tests' store.
class MemoryPreferencesStore final : public PreferencesStore {
  public:
    std::optional<SettingValue> read(const std::string& key) override {
        std::lock_guard lock(mutex_);
        auto it = values_.find(key);
        if (it == values_.end()) return std::nullopt;
        return it->second;
    }
    std::map<std::string, SettingValue> readAll() override {
        std::lock_guard lock(mutex_);
        return values_;
    }
    bool write(const std::string& key, const SettingValue& value) override {
        std::lock_guard lock(mutex_);
        values_[key] = value;
        return true;
    }

  private:
    std::mutex mutex_;
    std::map<std::string, SettingValue> values_;
};

}  // namespace quillby
