// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/linux/SnapCommand.h"

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

}  // namespace quillby
