// SPDX-License-Identifier: GPL-3.0-or-later
#include "loginitems/LoginItemAddition.h"

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "core/apps/DesktopEntry.h"
#include "core/apps/DesktopEntryFile.h"
#include "core/text/PlainText.h"
#include "core/work/Asker.h"
#include "loginitems/LoginItemController.h"
#include "loginitems/LoginItemRegistry.h"

namespace quillby {

namespace fs = std::filesystem;

namespace {

bool hasControlCharacter(const std::string& text) {
    for (unsigned char c : text) {
        if (c < 0x20 || c == 0x7f) return true;
    }
    return false;
}

std::string inQuotes(const std::string& name) {
    return "\"" + name + "\"";
}

}  // namespace

LoginItemCandidate LoginItemAddition::examine(const std::string& path, bool fromDrop) {
    LoginItemCandidate candidate;
    candidate.path = path;
    std::string name = fs::path(path).filename().string();
    if (name.empty()) name = path;
    struct stat status {};
    if (path.empty() || ::stat(path.c_str(), &status) != 0) {
        candidate.refusal = inQuotes(name) + " does not exist.";
        return candidate;
    }
    if (!isValidUtf8(path) || hasControlCharacter(path)) {
        candidate.refusal = inQuotes(name) + " has a name a desktop entry cannot hold.";
        return candidate;
    }
    bool regular = S_ISREG(status.st_mode);
    if (!regular && (fromDrop || !S_ISDIR(status.st_mode))) {
        candidate.refusal = inQuotes(name) + " is not a file.";
        return candidate;
    }
    if (regular && fs::path(path).extension() == ".desktop") {
        std::string why;
        auto entry = readDesktopEntryFile(path, &why);
        if (!entry) {
            candidate.refusal = inQuotes(name) + " cannot be read: " + why + ".";
        } else if (entry->stringValue(DesktopEntry::mainGroup, "Type") != "Application") {
            candidate.refusal = inQuotes(name) + " does not describe an application.";
        } else {
            candidate.applicationEntry = true;
        }
        return candidate;
    }
    bool program = regular && ::access(path.c_str(), X_OK) == 0;
    candidate.command =
        program ? DesktopEntry::joinExec({path}) : DesktopEntry::joinExec({"xdg-open", path});
    return candidate;
}

int LoginItemAddition::add(const std::vector<std::string>& paths, bool fromDrop,
                           LoginItemController& controller, Asker& asker) {
    std::vector<LoginItemCandidate> accepted;
    std::string problems;
    std::string commands;
    for (const auto& path : paths) {
        LoginItemCandidate candidate = examine(path, fromDrop);
        if (!candidate.refusal.empty()) {
            problems += candidate.refusal + "\n";
            continue;
        }
        if (!candidate.applicationEntry) commands += candidate.command + "\n";
        accepted.push_back(std::move(candidate));
    }
    if (!commands.empty() &&
        !asker.askYesNo("These commands will run every time you log in. Add them?", commands)) {
        accepted.clear();
    }
    int added = 0;
    for (const auto& candidate : accepted) {
        if (LoginItemRegistry::addLoginItemWithPath(candidate.path, false)) {
            ++added;
        } else {
            problems += inQuotes(fs::path(candidate.path).filename().string()) +
                        " could not be added (see the diagnostic log).\n";
        }
    }
    if (added > 0) controller.updateLoginItemsList();
    if (!problems.empty()) {
        problems.pop_back();
        asker.tell("Some items were not added to the login items.", problems);
    }
    return added;
}

}  // namespace quillby
