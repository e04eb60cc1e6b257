// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/linux/PacmanPackageManager.h"

#include "core/events/Log.h"
#include "core/text/PlainText.h"

namespace quillby {

std::map<std::string, OwningPackage> PacmanPackageManager::parseOwners(
    const std::string& text, const std::set<std::string>& paths) {
    static const std::string marker = " is owned by ";
    std::map<std::string, OwningPackage> owners;
    for (const auto& line : splitText(text, "\n")) {
        // The path may hold the marker itself; the package name and version never do.
        std::size_t at = line.rfind(marker);
        if (at == std::string::npos) continue;
        std::string path = line.substr(0, at);
        if (!paths.count(path)) continue;
        std::string package = line.substr(at + marker.size());
        std::size_t blank = package.find(' ');
        owners.emplace(path, OwningPackage{package.substr(0, blank),
                                           blank == std::string::npos ? std::string()
                                                                      : package.substr(blank + 1)});
    }
    return owners;
}

std::map<std::string, OwningPackage> PacmanPackageManager::owningPackages(
    const std::vector<std::string>& paths) {
    std::vector<std::string> arguments{"--query", "--owns", "--"};
    std::set<std::string> wanted = SystemTool::appendOneLinePaths(paths, arguments);
    if (wanted.empty()) return {};
    ToolRunResult result = pacman_.run(arguments, 120);
    if (!result.started || result.timedOut) {
        QWLog("pacman --query --owns failed: %s", SystemTool::failureText(result).c_str());
        return {};
    }
    return parseOwners(result.output, wanted);
}

}  // namespace quillby
