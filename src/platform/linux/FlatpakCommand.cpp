// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/linux/FlatpakCommand.h"

#include "core/events/Log.h"
#include "core/text/PlainText.h"
#include "platform/linux/SystemTool.h"

namespace quillby {

bool FlatpakCommand::isApplicationId(const std::string& id) {
    if (id.empty() || id.size() > 255 || id.front() == '-' || id.front() == '.') return false;
    if (id.find('.') == std::string::npos) return false;
    for (char c : id) {
        bool allowed = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                       c == '_' || c == '-' || c == '.';
        if (!allowed) return false;
    }
    return true;
}

std::vector<FlatpakApp> FlatpakCommand::parseList(const std::string& text) {
    std::vector<FlatpakApp> apps;
    for (const auto& line : splitText(text, "\n")) {
        auto fields = splitText(line, "\t");
        if (fields.size() < 3 || !isApplicationId(fields[0])) continue;
        apps.push_back({fields[0], fields[1], fields[2]});
    }
    return apps;
}

std::vector<FlatpakApp> FlatpakCommand::installedApps() {
    auto flatpak = SystemTool::find("flatpak", context_);
    if (!flatpak) return {};
    ToolRunResult result =
        flatpak->run({"list", "--app", "--columns=application,version,installation"}, 60);
    if (!result.started || result.timedOut || result.status != 0) {
        QWLog("flatpak list failed: %s", SystemTool::failureText(result).c_str());
        return {};
    }
    return parseList(result.output);
}

bool FlatpakCommand::uninstall(const std::string& id, const std::string& installation,
                               std::string& why) {
    if (!isApplicationId(id)) {
        why = "\"" + id + "\" is not a Flatpak application ID";
        return false;
    }
    auto flatpak = SystemTool::find("flatpak", context_);
    if (!flatpak) {
        why = "flatpak is not installed";
        return false;
    }
    std::vector<std::string> arguments{"uninstall", "--noninteractive"};
    if (installation == "user") {
        arguments.push_back("--user");
    } else if (installation == "system" || installation.empty()) {
        arguments.push_back("--system");
    } else {
        arguments.push_back("--installation=" + installation);
    }
    arguments.push_back("--");
    arguments.push_back(id);
    ToolRunResult result = flatpak->run(arguments);
    if (result.started && result.status == 0) return true;
    why = "flatpak uninstall " + id + ": " + SystemTool::failureText(result);
    return false;
}

}  // namespace quillby
