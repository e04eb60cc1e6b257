// SPDX-License-Identifier: GPL-3.0-or-later
#include "diskusage/TreeScanOptions.h"

#include <filesystem>

#include "core/settings/SettingsKeys.h"
#include "core/settings/UserDefaults.h"

namespace quillby {

ScanScope ScanScope::fromSettings() {
    auto& defaults = UserDefaults::standardUserDefaults();
    ScanScope scope;
    scope.allocatedSize = defaults.boolForKey(SettingsKey::DiskUsageAllocatedSize);
    // A folder that is gone excludes nothing; a relative path has no meaning for the window.
    for (const auto& path : defaults.linesForKey(SettingsKey::DiskUsageExcludes)) {
        std::error_code error;
        if (path.front() == '/' && std::filesystem::is_directory(path, error)) {
            scope.excludedFolders.add(path);
        }
    }
    return scope;
}

}  // namespace quillby
