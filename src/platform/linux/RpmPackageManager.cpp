// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/linux/RpmPackageManager.h"

#include "core/events/Log.h"
#include "core/text/PlainText.h"

namespace quillby {

std::map<std::string, OwningPackage> RpmPackageManager::parseFileList(
    const std::string& text, const std::set<std::string>& paths) {
    std::map<std::string, OwningPackage> owners;
    for (const auto& line : splitText(text, "\n")) {
        // The file name comes first and may itself hold a tab; name and version never do.
        std::size_t versionTab = line.rfind('\t');
        if (versionTab == std::string::npos || versionTab == 0) continue;
        std::size_t nameTab = line.rfind('\t', versionTab - 1);
        if (nameTab == std::string::npos) continue;
        std::string path = line.substr(0, nameTab);
        if (!paths.count(path)) continue;
        owners.emplace(path, OwningPackage{line.substr(nameTab + 1, versionTab - nameTab - 1),
                                           line.substr(versionTab + 1)});
    }
    return owners;
}

std::map<std::string, OwningPackage> RpmPackageManager::owningPackages(
    const std::vector<std::string>& paths) {
    std::vector<std::string> arguments{"--query", "--queryformat",
                                       "[%{FILENAMES}\t%{NAME}\t%{EVR}\n]", "--file"};
    std::set<std::string> wanted = SystemTool::appendOneLinePaths(paths, arguments);
    if (wanted.empty()) return {};
    // A non-zero status only says that some path has no owner.
    ToolRunResult result = rpm_.run(arguments, 120);
    if (!result.started || result.timedOut) {
        QWLog("rpm --query --file failed: %s", SystemTool::failureText(result).c_str());
        return {};
    }
    return parseFileList(result.output, wanted);
}

}  // namespace quillby
