// SPDX-License-Identifier: GPL-3.0-or-later
#include "helper/PackageRemoval.h"

#include <unistd.h>
#include <sstream>

#include "core/fs/PathRules.h"
#include "core/work/ToolRunner.h"

namespace quillby {

namespace {

constexpr const char* kSystemFolders[] = {"/usr/bin", "/bin", "/usr/sbin", "/sbin"};

std::string systemProgram(const std::string& name) {
    for (const char* folder : kSystemFolders) {
        std::string candidate = std::string(folder) + "/" + name;
        if (::access(candidate.c_str(), X_OK) == 0) return candidate;
    }
    return "";
}

bool exists(const char* path) {
    return ::access(path, F_OK) == 0;
}

// An entry the desktop lists: a ".desktop" file inside a folder named "applications".
bool isApplicationEntryPath(const std::string& path) {
    if (!isNormalizedAbsolutePath(path) || !path.ends_with(".desktop")) return false;
    return path.find("/applications/") != std::string::npos;
}

std::string lastLine(const std::string& text) {
    std::string line;
    std::istringstream lines(text);
    for (std::string next; std::getline(lines, next);) {
        if (!next.empty()) line = next;
    }
    return line;
}

ToolRunResult runWithPackage(const std::vector<std::string>& command, const std::string& package,
                             const PackageTools& tools) {
    std::vector<std::string> arguments(command.begin() + 1, command.end());
    arguments.push_back(package);
    ToolRunOptions options;
    options.environment = tools.environment;
    return ToolRunner::run(command.front(), arguments, options);
}

bool listsFile(const std::string& listing, const std::string& path) {
    std::istringstream lines(listing);
    for (std::string line; std::getline(lines, line);) {
        if (line == path) return true;
    }
    return false;
}

}  // namespace

bool PackageRemoval::isPackageName(const std::string& name) {
    if (name.empty() || name.size() > 256) return false;
    if (!((name[0] >= 'a' && name[0] <= 'z') || (name[0] >= 'A' && name[0] <= 'Z') ||
          (name[0] >= '0' && name[0] <= '9'))) {
        return false;
    }
    for (char c : name) {
        bool allowed = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                       c == '+' || c == '-' || c == '.' || c == '_' || c == '@' || c == ':';
        if (!allowed) return false;
    }
    return true;
}

std::optional<PackageTools> PackageRemoval::systemTools() {
    std::vector<std::string> environment{"PATH=/usr/sbin:/usr/bin:/sbin:/bin", "LC_ALL=C",
                                         "DEBIAN_FRONTEND=noninteractive"};
    std::string dpkgQuery = systemProgram("dpkg-query"), dpkg = systemProgram("dpkg");
    if (exists("/var/lib/dpkg/status") && !dpkgQuery.empty() && !dpkg.empty()) {
        return PackageTools{
            "dpkg", {dpkgQuery, "--listfiles", "--"}, {dpkg, "--remove", "--"}, environment};
    }
    std::string rpm = systemProgram("rpm");
    if (exists("/var/lib/rpm") && !rpm.empty()) {
        return PackageTools{
            "rpm", {rpm, "--query", "--list", "--"}, {rpm, "--erase", "--"}, environment};
    }
    std::string pacman = systemProgram("pacman");
    if (exists("/var/lib/pacman/local") && !pacman.empty()) {
        return PackageTools{"pacman",
                            {pacman, "--query", "--list", "--quiet", "--"},
                            {pacman, "--remove", "--noconfirm", "--"},
                            environment};
    }
    return std::nullopt;
}

std::string PackageRemoval::removeOwningPackage(const std::string& argument,
                                                const std::optional<PackageTools>& tools) {
    std::size_t blank = argument.find(' ');
    if (blank == std::string::npos) return "error expected a package name and an entry's path";
    std::string package = argument.substr(0, blank);
    std::string entry = argument.substr(blank + 1);
    if (!isPackageName(package)) return "error not a package name";
    if (!isApplicationEntryPath(entry)) {
        return "error not the path of an application entry";
    }
    if (!tools) return "error no package manager found";

    ToolRunResult listing = runWithPackage(tools->listFiles, package, *tools);
    if (!listing.started) return "error " + tools->manager + " cannot be started";
    if (listing.status != 0 || !listsFile(listing.output, entry)) {
        return "error " + package + " did not install " + entry;
    }
    ToolRunResult removal = runWithPackage(tools->removal, package, *tools);
    if (removal.started && removal.status == 0) return "ok";
    std::string reason = lastLine(removal.errors);
    if (reason.empty()) reason = "status " + std::to_string(removal.status);
    return "error " + tools->manager + " did not remove " + package + ": " + reason;
}

}  // namespace quillby
