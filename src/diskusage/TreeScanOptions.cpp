// SPDX-License-Identifier: GPL-3.0-or-later
#include "diskusage/TreeScanOptions.h"

#include <sys/stat.h>
#include <cerrno>

#include "core/settings/SettingsKeys.h"
#include "core/settings/UserDefaults.h"

namespace quillby {

std::optional<FolderIdentity> folderIdentity(const std::string& path) {
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0) return std::nullopt;
    if (!S_ISDIR(status.st_mode)) {
        errno = ENOTDIR;
        return std::nullopt;
    }
    return FolderIdentity{status.st_dev, status.st_ino};
}

ScanScope ScanScope::fromSettings() {
    auto& defaults = UserDefaults::standardUserDefaults();
    ScanScope scope;
    scope.allocatedSize = defaults.boolForKey(SettingsKey::DiskUsageAllocatedSize);
    // A folder that is gone excludes nothing; a relative path has no meaning for the window.
    for (const auto& path : defaults.linesForKey(SettingsKey::DiskUsageExcludes)) {
        if (path.front() != '/') continue;
        if (auto identity = folderIdentity(path)) scope.excludedFolders.push_back(*identity);
    }
    return scope;
}

}  // namespace quillby
