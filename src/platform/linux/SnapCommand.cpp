// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/linux/SnapCommand.h"

#include <sys/stat.h>
#include <algorithm>
#include <sstream>

#include "core/events/Log.h"
#include "core/text/PlainText.h"
#include "platform/linux/SystemTool.h"

namespace quillby {

bool SnapCommand::isSnapName(const std::string& name) {
    if (name.empty() || name.size() > 64 || name.front() == '-' || name.front() == '_') {
        return false;
    }
    for (char c : name) {
        bool allowed = (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '_';
        if (!allowed) return false;
    }
    return true;
}

std::vector<SnapPackage> SnapCommand::parseList(const std::string& text) {
    std::vector<SnapPackage> snaps;
    for (const auto& line : splitText(text, "\n")) {
        std::istringstream fields(line);
        std::string name, version;
        if (!(fields >> name >> version) || !isSnapName(name)) continue;  // the heading is "Name"
        snaps.push_back({name, version});
    }
    return snaps;
}

std::vector<SnapPackage> SnapCommand::installedSnaps() {
    auto snap = SystemTool::find("snap", context_);
    if (!snap) return {};
    ToolRunResult result = snap->run({"list"}, 60);
    if (!result.started || result.timedOut || result.status != 0) {
        QWLog("snap list failed: %s", SystemTool::failureText(result).c_str());
        return {};
    }
    return parseList(result.output);
}

bool SnapCommand::remove(const std::string& name, std::string& why) {
    if (!isSnapName(name)) {
        why = "\"" + name + "\" is not a snap name";
        return false;
    }
    auto snap = SystemTool::find("snap", context_);
    if (!snap) {
        why = "snap is not installed";
        return false;
    }
    ToolRunResult result = snap->run({"remove", name});
    if (result.started && result.status == 0) return true;
    why = "snap remove " + name + ": " + SystemTool::failureText(result);
    return false;
}

namespace {

bool isRevision(const std::string& text) {
    // Local installs have revisions such as "x1".
    std::string digits = text.starts_with("x") ? text.substr(1) : text;
    return !digits.empty() && digits.size() <= 12 &&
           std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; });
}

}  // namespace

std::vector<SnapRevision> SnapCommand::parseDisabled(const std::string& text) {
    std::vector<SnapRevision> revisions;
    for (const auto& line : splitText(text, "\n")) {
        std::istringstream fields(line);
        std::string name, version, revision, word, notes;
        if (!(fields >> name >> version >> revision) || !isSnapName(name) ||
            !isRevision(revision)) {
            continue;
        }
        while (fields >> word) notes = word;  // the last column
        auto flags = splitText(notes, ",");
        if (std::find(flags.begin(), flags.end(), "disabled") == flags.end()) continue;
        revisions.push_back({name, version, revision, 0});
    }
    return revisions;
}

std::optional<std::vector<SnapRevision>> SnapCommand::disabledRevisions() {
    auto snap = SystemTool::find("snap", context_);
    if (!snap) return std::nullopt;
    ToolRunResult result = snap->run({"list", "--all"}, 60);
    if (!result.started || result.timedOut || result.status != 0) {
        QWLog("snap list --all failed: %s", SystemTool::failureText(result).c_str());
        return std::vector<SnapRevision>{};
    }
    auto revisions = parseDisabled(result.output);
    for (auto& revision : revisions) {
        // The package file snapd keeps for the revision is what its removal frees.
        auto file = context_.varRoot / "lib/snapd/snaps" /
                    (revision.name + "_" + revision.revision + ".snap");
        struct stat info {};
        if (::lstat(file.c_str(), &info) == 0 && S_ISREG(info.st_mode)) {
            revision.bytes = static_cast<std::uint64_t>(info.st_size);
        }
    }
    return revisions;
}

bool SnapCommand::removeRevision(const SnapRevision& revision, std::string& why) {
    if (!isSnapName(revision.name) || !isRevision(revision.revision)) {
        why = "\"" + revision.name + "\" revision \"" + revision.revision +
              "\" is not a snap revision";
        return false;
    }
    // Judged again now: a revert since the scan may have made it the active revision.
    auto disabled = disabledRevisions();
    if (!disabled) {
        why = "snap is not installed";
        return false;
    }
    bool stillDisabled = std::any_of(disabled->begin(), disabled->end(), [&](const auto& other) {
        return other.name == revision.name && other.revision == revision.revision;
    });
    if (!stillDisabled) {
        why = revision.name + " revision " + revision.revision + " is no longer disabled";
        return false;
    }
    auto snap = SystemTool::find("snap", context_);
    ToolRunResult result = snap->run({"remove", "--revision=" + revision.revision, revision.name});
    if (result.started && result.status == 0) return true;
    why = "snap remove " + revision.name + " --revision=" + revision.revision + ": " +
          SystemTool::failureText(result);
    return false;
}

}  // namespace quillby
