// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/Commands.h"

#include <CLI/CLI.hpp>
#include <iostream>
#include <memory>
#include <nlohmann/json.hpp>

#include "cli/CliOutput.h"
#include "core/settings/SettingsKeys.h"
#include "core/settings/UserDefaults.h"

namespace quillby {

namespace {

// A value shown by its key's type, whatever form it was stored in.
std::string displayValue(const SettingKeyInfo& key, const std::optional<SettingValue>& value) {
    if (!value) return key.type == SettingType::Boolean ? "false" : "0";
    switch (key.type) {
        case SettingType::PathList:
        case SettingType::Text:
            return settingAsText(*value);
        case SettingType::Boolean:
            return settingAsBool(*value) ? "true" : "false";
        case SettingType::Float:
            return settingAsText(SettingValue(settingAsDouble(*value)));
        case SettingType::Integer:
        case SettingType::UnsignedInteger:
            return std::to_string(settingAsInteger(*value));
    }
    return "";
}

nlohmann::json jsonValue(const SettingKeyInfo& key, const std::optional<SettingValue>& value) {
    if (!value) return nullptr;
    switch (key.type) {
        case SettingType::PathList:
        case SettingType::Text:
            return settingAsText(*value);
        case SettingType::Boolean:
            return settingAsBool(*value);
        case SettingType::Float:
            return settingAsDouble(*value);
        case SettingType::Integer:
        case SettingType::UnsignedInteger:
            return settingAsInteger(*value);
    }
    return nullptr;
}

const SettingKeyInfo& knownKey(const std::string& name) {
    const SettingKeyInfo* key = findSettingKey(name);
    if (!key) throw usageError("unknown setting '" + name + "' (see: quillby settings list)");
    return *key;
}

// Stored values that could not be read must not pass for the defaults.
void requireReadablePreferences() {
    std::string failure = UserDefaults::standardUserDefaults().storeFailure();
    if (!failure.empty()) throw CliFailure(failure, 1);
}

void listSettings(bool asJson) {
    auto& defaults = UserDefaults::standardUserDefaults();
    if (asJson) {
        auto list = nlohmann::json::array();
        for (const auto& key : settingKeyTable()) {
            list.push_back({{"key", key.name},
                            {"type", settingTypeName(key.type)},
                            {"value", jsonValue(key, defaults.objectForKey(key.name))},
                            {"default", jsonValue(key, key.registeredDefault)},
                            {"stored", defaults.storedValue(key.name).has_value()},
                            {"meaning", key.meaning}});
        }
        requireReadablePreferences();
        printJson(list);
        return;
    }
    std::vector<std::vector<std::string>> rows{{"KEY", "TYPE", "VALUE", "DEFAULT", "MEANING"}};
    for (const auto& key : settingKeyTable()) {
        std::string value = displayValue(key, defaults.objectForKey(key.name));
        if (defaults.storedValue(key.name)) value += " *";
        rows.push_back({key.name, std::string(settingTypeName(key.type)), value,
                        key.registeredDefault ? displayValue(key, key.registeredDefault) : "-",
                        key.meaning});
    }
    requireReadablePreferences();
    std::cout << formatTable(rows) << "(* stored; the others read their default)\n";
}

}  // namespace

void addSettingsCommand(CLI::App& app) {
    auto* settings = app.add_subcommand("settings", "Show and change the program's settings");
    requireCommand(*settings);

    auto listJson = std::make_shared<bool>(false);
    auto* list = settings->add_subcommand("list", "Every setting with its type, value and default");
    list->add_flag("--json", *listJson, "Print JSON");
    list->callback([listJson] { listSettings(*listJson); });

    auto getKey = std::make_shared<std::string>();
    auto* get = settings->add_subcommand("get", "Print one setting's value");
    get->add_option("KEY", *getKey, "Setting name")->required();
    get->callback([getKey] {
        const auto& key = knownKey(*getKey);
        auto value = UserDefaults::standardUserDefaults().objectForKey(key.name);
        requireReadablePreferences();
        std::cout << displayValue(key, value) << '\n';
    });

    auto setKey = std::make_shared<std::string>();
    auto setValue = std::make_shared<std::string>();
    auto* set = settings->add_subcommand("set", "Change one setting (checked against its type)");
    set->add_option("KEY", *setKey, "Setting name")->required();
    set->add_option("VALUE", *setValue, "New value")->required();
    set->callback([setKey, setValue] {
        const auto& key = knownKey(*setKey);
        SettingInput input = parseSettingInput(key, *setValue);
        if (!input.value) throw usageError(input.error);
        auto& defaults = UserDefaults::standardUserDefaults();
        if (!defaults.setObject(*input.value, key.name)) {
            throw CliFailure(
                "could not store " + std::string(key.name) + ": " + defaults.storeFailure(), 1);
        }
    });
}

}  // namespace quillby
