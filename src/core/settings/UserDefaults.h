// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "platform/PreferencesStore.h"

namespace quillby {

// Reads of stored values follow one conversion rule everywhere: texts are read by their leading
// number ("12abc" is 12, "YES" is true), numbers by value, and a missing value is 0 or false.
std::int64_t settingAsInteger(const SettingValue& value);
double settingAsDouble(const SettingValue& value);
bool settingAsBool(const SettingValue& value);
std::string settingAsText(const SettingValue& value);

// The user's settings: stored values over registered defaults, over 0/false for anything else.
// Registered defaults live in memory only and are never written.
class UserDefaults {
  public:
    explicit UserDefaults(std::shared_ptr<PreferencesStore> store);

    // The process's settings, on the installed preferences store (in memory when none is).
    static UserDefaults& standardUserDefaults();
    // Replaces the process's settings object (start-up and tests).
    static void setStandardUserDefaults(std::shared_ptr<UserDefaults> defaults);

    void registerDefaults(const std::map<std::string, SettingValue>& defaults);
    // Runs `registration` once per settings object for the given name (class initialisation).
    void registerOnce(std::string_view name,
                      const std::function<void(UserDefaults&)>& registration);

    // The stored value, else the registered default, else nothing.
    std::optional<SettingValue> objectForKey(const std::string& key) const;
    std::optional<SettingValue> registeredDefault(const std::string& key) const;
    std::optional<SettingValue> storedValue(const std::string& key) const;

    std::int64_t integerForKey(const std::string& key) const;
    float floatForKey(const std::string& key) const;
    double doubleForKey(const std::string& key) const;
    bool boolForKey(const std::string& key) const;
    // The non-empty lines of a list setting's text (SettingType::PathList), in order.
    std::vector<std::string> linesForKey(const std::string& key) const;

    // Each write reaches the disk at once; false when it could not be stored.
    bool setObject(const SettingValue& value, const std::string& key);
    bool setInteger(std::int64_t value, const std::string& key);
    // Stored as the shortest decimal that reads back as the same float (0.1f is stored as 0.1).
    bool setFloat(float value, const std::string& key);
    bool setBool(bool value, const std::string& key);
    // Every write is already on disk; reports whether the last one succeeded.
    bool synchronize();
    // Why the stored values could not be read (they then read as missing) or the last write
    // failed; "" when neither (PreferencesStore::failure).
    std::string storeFailure() const;

  private:
    std::shared_ptr<PreferencesStore> store_;
    mutable std::mutex mutex_;
    std::map<std::string, SettingValue> registered_;
    std::set<std::string, std::less<>> registrations_;
    bool lastWriteSucceeded_ = true;
};

}  // namespace quillby
