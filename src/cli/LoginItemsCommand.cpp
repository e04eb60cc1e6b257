// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/Commands.h"

#include <CLI/CLI.hpp>
#include <filesystem>
#include <iostream>
#include <memory>
#include <nlohmann/json.hpp>

#include "cli/AbsolutePath.h"
#include "cli/CliOutput.h"
#include "core/fs/FileURL.h"
#include "loginitems/AppInformation.h"
#include "loginitems/LoginItemRegistry.h"

namespace quillby {

namespace fs = std::filesystem;

namespace {

std::vector<LoginItemRecord> readRecords() {
    auto records = AppInformation::loginItemRecords();
    if (!records) throw CliFailure("could not read the login items (see the diagnostic log)", 1);
    std::erase_if(*records, [](const LoginItemRecord& item) {
        return AppInformation::isMissingItem(item.record);
    });
    return *records;
}

void listLoginItems(bool asJson) {
    auto records = readRecords();
    if (asJson) {
        auto list = nlohmann::json::array();
        for (const auto& item : records) {
            list.push_back({{"index", item.index},
                            {"name", item.record.name},
                            {"path", item.record.path},
                            {"url", item.entry.url},
                            {"hidden", item.record.bIsSelected},
                            {"system", item.record.isSystemApp},
                            {"bundleID", item.record.bundleID.value_or("")}});
        }
        printJson(list);
        return;
    }
    if (records.empty()) {
        std::cout << "No login items.\n";
        return;
    }
    std::vector<std::vector<std::string>> rows{{"INDEX", "STATE", "KIND", "NAME", "PATH"}};
    for (const auto& item : records) {
        rows.push_back({std::to_string(item.index), item.record.bIsSelected ? "hidden" : "on",
                        item.record.isSystemApp ? "system" : "user", item.record.name,
                        item.record.path});
    }
    std::cout << formatTable(rows);
}

bool isIndex(const std::string& text) {
    return !text.empty() && text.size() < 10 &&
           text.find_first_not_of("0123456789") == std::string::npos;
}

// The item a user names by its index in `list`, by the file that describes it, or by what it
// starts. A path that several items start is refused: the index says which one is meant.
LoginItemRecord findItem(const std::string& which) {
    auto records = AppInformation::loginItemRecords();
    if (!records) throw CliFailure("could not read the login items (see the diagnostic log)", 1);
    if (isIndex(which)) {
        int index = std::stoi(which);
        for (const auto& item : *records) {
            if (item.index == index) return item;
        }
        throw usageError("no login item has index " + which + " (see: quillby login-items list)");
    }
    std::string path = absolutePath(which);
    std::string url = LoginItemRegistry::loginItemURLForPath(path);
    std::vector<LoginItemRecord> matches;
    for (const auto& item : *records) {
        if (item.entry.entryPath == path) return item;
        if (item.entry.url == url) matches.push_back(item);
    }
    if (matches.empty()) throw usageError(which + " is not a login item");
    if (matches.size() > 1) {
        std::string indexes;
        for (const auto& item : matches) {
            indexes += (indexes.empty() ? "" : ", ") + std::to_string(item.index);
        }
        throw usageError(std::to_string(matches.size()) + " login items start " + which +
                         " (indexes " + indexes + "); give the index of one");
    }
    return matches.front();
}

void addLoginItem(const std::string& path, bool hidden) {
    std::string absolute = absolutePath(path);
    if (absolute.empty()) throw CliFailure(path + " does not exist", 1);
    if (LoginItemRegistry::addLoginItemWithPath(absolute, hidden)) return;
    std::error_code error;
    if (!fs::exists(absolute, error)) throw CliFailure(path + " does not exist", 1);
    throw CliFailure("could not add " + path + " as a login item (see the diagnostic log)", 1);
}

void removeLoginItem(const std::string& which) {
    LoginItemRecord item = findItem(which);
    if (LoginItemRegistry::removeLoginItemAtIndex(item.index)) {
        AppInformation::loginItemRemoved(item.record);
        return;
    }
    if (item.entry.system) {
        throw CliFailure(item.record.name + " comes with the system and cannot be removed; " +
                             "turn it off with: quillby login-items hide " + which + " on",
                         1);
    }
    throw CliFailure("could not remove " + item.record.name + " (see the diagnostic log)", 1);
}

void hideLoginItem(const std::string& which, const std::string& state) {
    if (state != "on" && state != "off") throw usageError("hide takes on or off, not " + state);
    LoginItemRecord item = findItem(which);
    if (!LoginItemRegistry::setLoginItemHiddenAtIndex(item.index, state == "on")) {
        throw CliFailure("could not change " + item.record.name + " (see the diagnostic log)", 1);
    }
}

}  // namespace

void addLoginItemsCommand(CLI::App& app) {
    auto* group = app.add_subcommand("login-items", "Show and change what starts at login");
    requireCommand(*group);

    auto listJson = std::make_shared<bool>(false);
    auto* list = group->add_subcommand("list", "Every login item with its index and state");
    list->add_flag("--json", *listJson, "Print JSON");
    list->callback([listJson] { listLoginItems(*listJson); });

    auto addPath = std::make_shared<std::string>();
    auto addHidden = std::make_shared<bool>(false);
    auto* add = group->add_subcommand(
        "add", "Start a program, an application entry or a document at login");
    add->add_option("PATH", *addPath, "File to start")->required();
    add->add_flag("--hidden", *addHidden, "Add it turned off");
    add->callback([addPath, addHidden] { addLoginItem(*addPath, *addHidden); });

    auto removeWhich = std::make_shared<std::string>();
    auto* remove = group->add_subcommand("remove", "Stop starting an item at login (your own)");
    remove->add_option("ITEM", *removeWhich, "Index from the list, or the item's path")->required();
    remove->callback([removeWhich] { removeLoginItem(*removeWhich); });

    auto hideWhich = std::make_shared<std::string>();
    auto hideState = std::make_shared<std::string>();
    auto* hide = group->add_subcommand("hide", "Turn an item off (on) or back on (off)");
    hide->add_option("ITEM", *hideWhich, "Index from the list, or the item's path")->required();
    hide->add_option("STATE", *hideState, "on or off")->required();
    hide->callback([hideWhich, hideState] { hideLoginItem(*hideWhich, *hideState); });
}

}  // namespace quillby
