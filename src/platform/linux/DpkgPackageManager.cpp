// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/linux/DpkgPackageManager.h"

#include "core/events/Log.h"
#include "core/text/PlainText.h"

namespace quillby {

std::string DpkgPackageManager::exactPattern(const std::string& path) {
    std::string pattern;
    for (char c : path) {
        if (c == '*' || c == '?' || c == '[' || c == '\\') pattern.push_back('\\');
        pattern.push_back(c);
    }
    return pattern;
}

std::map<std::string, std::string> DpkgPackageManager::parseSearchOutput(
    const std::string& text, const std::set<std::string>& paths) {
    std::map<std::string, std::string> owners;
    for (const auto& line : splitText(text, "\n")) {
        if (line.starts_with("diversion by ") || line.starts_with("local diversion ")) continue;
        // "pkg1, pkg2: /path": package names hold neither ": " nor "/".
        std::size_t separator = line.find(": /");
        if (separator == std::string::npos) continue;
        std::string path = line.substr(separator + 2);
        if (!paths.count(path)) continue;
        std::string packages = line.substr(0, separator);
        owners.emplace(path, packages.substr(0, packages.find(", ")));
    }
    return owners;
}

std::map<std::string, std::string> DpkgPackageManager::parseVersions(const std::string& text) {
    std::map<std::string, std::string> versions;
    for (const auto& line : splitText(text, "\n")) {
        std::size_t tab = line.find('\t');
        if (tab == std::string::npos || tab == 0) continue;
        versions.emplace(line.substr(0, tab), line.substr(tab + 1));
    }
    return versions;
}

std::map<std::string, OwningPackage> DpkgPackageManager::owningPackages(
    const std::vector<std::string>& paths) {
    std::map<std::string, OwningPackage> owned;
    std::vector<std::string> arguments{"--search", "--"};
    std::set<std::string> wanted = SystemTool::appendOneLinePaths(paths, arguments, exactPattern);
    if (wanted.empty()) return owned;
    // Status 1 only says that some path has no owner.
    ToolRunResult search = dpkgQuery_.run(arguments, 120);
    if (!search.started || search.timedOut || search.status > 1) {
        QWLog("dpkg-query --search failed: %s", SystemTool::failureText(search).c_str());
        return owned;
    }
    auto owners = parseSearchOutput(search.output, wanted);
    if (owners.empty()) return owned;

    std::vector<std::string> query{"--show", "--showformat=${binary:Package}\t${Version}\n", "--"};
    for (const auto& [path, package] : owners) query.push_back(package);
    ToolRunResult show = dpkgQuery_.run(query, 120);
    auto versions = parseVersions(show.output);
    for (const auto& [path, package] : owners) {
        auto version = versions.find(package);
        owned[path] = {package, version == versions.end() ? "" : version->second};
    }
    return owned;
}

}  // namespace quillby
