// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/settings/UserDefaults.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdlib>

#include "core/events/Log.h"
#include "platform/MemoryPreferencesStore.h"
#include "platform/Services.h"

namespace quillby {

namespace {

template <class... F>
struct Overloaded : F... {
    using F::operator()...;
};

std::mutex gStandardMutex;
std::shared_ptr<UserDefaults> gStandard;

bool textAsBool(const std::string& text) {
    size_t i = 0;
    while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i]))) ++i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    while (i < text.size() && text[i] == '0') ++i;
    if (i >= text.size()) return false;
    char c = text[i];
    return c == 'Y' || c == 'y' || c == 'T' || c == 't' || (c >= '1' && c <= '9');
}

}  // namespace

std::int64_t settingAsInteger(const SettingValue& value) {
    return std::visit(Overloaded{
                          [](bool b) -> std::int64_t { return b ? 1 : 0; },
                          [](std::int64_t i) { return i; },
                          [](double d) -> std::int64_t {
                              if (!std::isfinite(d)) return 0;
                              return static_cast<std::int64_t>(std::trunc(d));
                          },
                          [](const std::string& s) -> std::int64_t {
                              return std::strtoll(s.c_str(), nullptr, 10);
                          },
                      },
                      value);
}

double settingAsDouble(const SettingValue& value) {
    return std::visit(Overloaded{
                          [](bool b) { return b ? 1.0 : 0.0; },
                          [](std::int64_t i) { return static_cast<double>(i); },
                          [](double d) { return d; },
                          [](const std::string& s) { return std::strtod(s.c_str(), nullptr); },
                      },
                      value);
}

bool settingAsBool(const SettingValue& value) {
    return std::visit(Overloaded{
                          [](bool b) { return b; },
                          [](std::int64_t i) { return i != 0; },
                          [](double d) { return d != 0.0; },
                          [](const std::string& s) { return textAsBool(s); },
                      },
                      value);
}

std::string settingAsText(const SettingValue& value) {
    return std::visit(Overloaded{
                          [](bool b) -> std::string { return b ? "true" : "false"; },
                          [](std::int64_t i) { return std::to_string(i); },
                          [](double d) {
                              char buffer[64];
                              auto result = std::to_chars(buffer, buffer + sizeof buffer, d);
                              return std::string(buffer, result.ptr);
                          },
                          [](const std::string& s) { return s; },
                      },
                      value);
}

UserDefaults::UserDefaults(std::shared_ptr<PreferencesStore> store) : store_(std::move(store)) {}

UserDefaults& UserDefaults::standardUserDefaults() {
    std::lock_guard lock(gStandardMutex);
    if (!gStandard) {
        auto store = Services::get<PreferencesStore>();
        if (!store) {
            QWLog("No preferences store installed; settings are kept in memory only");
            store = std::make_shared<MemoryPreferencesStore>();
        }
        gStandard = std::make_shared<UserDefaults>(std::move(store));
    }
    return *gStandard;
}

void UserDefaults::setStandardUserDefaults(std::shared_ptr<UserDefaults> defaults) {
    std::lock_guard lock(gStandardMutex);
    gStandard = std::move(defaults);
}

void UserDefaults::registerDefaults(const std::map<std::string, SettingValue>& defaults) {
    std::lock_guard lock(mutex_);
    for (const auto& [key, value] : defaults) registered_[key] = value;
}

void UserDefaults::registerOnce(std::string_view name,
                                const std::function<void(UserDefaults&)>& registration) {
    {
        std::lock_guard lock(mutex_);
        if (!registrations_.emplace(name).second) return;
    }
    registration(*this);
}

std::optional<SettingValue> UserDefaults::storedValue(const std::string& key) const {
    return store_->read(key);
}

std::optional<SettingValue> UserDefaults::registeredDefault(const std::string& key) const {
    std::lock_guard lock(mutex_);
    auto it = registered_.find(key);
    if (it == registered_.end()) return std::nullopt;
    return it->second;
}

std::optional<SettingValue> UserDefaults::objectForKey(const std::string& key) const {
    if (auto stored = storedValue(key)) return stored;
    return registeredDefault(key);
}

std::int64_t UserDefaults::integerForKey(const std::string& key) const {
    auto value = objectForKey(key);
    return value ? settingAsInteger(*value) : 0;
}

float UserDefaults::floatForKey(const std::string& key) const {
    return static_cast<float>(doubleForKey(key));
}

double UserDefaults::doubleForKey(const std::string& key) const {
    auto value = objectForKey(key);
    return value ? settingAsDouble(*value) : 0.0;
}

bool UserDefaults::boolForKey(const std::string& key) const {
    auto value = objectForKey(key);
    return value ? settingAsBool(*value) : false;
}

std::vector<std::string> UserDefaults::linesForKey(const std::string& key) const {
    auto value = objectForKey(key);
    std::string text = value ? settingAsText(*value) : std::string();
    std::vector<std::string> lines;
    for (size_t start = 0; start < text.size();) {
        size_t end = std::min(text.find('\n', start), text.size());
        if (end > start) lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

bool UserDefaults::setObject(const SettingValue& value, const std::string& key) {
    bool ok = store_->write(key, value);
    std::lock_guard lock(mutex_);
    lastWriteSucceeded_ = ok;
    return ok;
}

bool UserDefaults::setInteger(std::int64_t value, const std::string& key) {
    return setObject(value, key);
}

bool UserDefaults::setFloat(float value, const std::string& key) {
    char buffer[32];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    double shortest = std::strtod(std::string(buffer, result.ptr).c_str(), nullptr);
    return setObject(shortest, key);
}

bool UserDefaults::setBool(bool value, const std::string& key) {
    return setObject(value, key);
}

std::string UserDefaults::storeFailure() const {
    return store_->failure();
}

bool UserDefaults::synchronize() {
    std::lock_guard lock(mutex_);
    return lastWriteSucceeded_;
}

}  // namespace quillby
