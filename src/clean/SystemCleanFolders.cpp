// SPDX-License-Identifier: GPL-3.0-or-later
#include "clean/SystemCleanFolders.h"

#include "clean/CleanCategory.h"
#include "clean/CleanRules.h"

namespace quillby {

namespace SystemCleanFolders {

std::vector<SystemFolder> folders(int category) {
    static const auto packageCaches = std::make_shared<const PackageCacheRule>();
    static const auto rotatedLogs = std::make_shared<const RotatedLogRule>();
    static const auto crashReports = std::make_shared<const CrashReportRule>();
    static const auto coreDumps = std::make_shared<const CoreDumpRule>();
    switch (category) {
        case CleanCategoryId::SystemCaches:
            return {{"cache/apt/archives", packageCaches},
                    {"cache/dnf", packageCaches},
                    {"cache/yum", packageCaches},
                    {"cache/pacman/pkg", packageCaches}};
        case CleanCategoryId::SystemLogs:
            return {{"log", rotatedLogs, false},
                    {"crash", crashReports},
                    {"lib/systemd/coredump", coreDumps}};
        default:
            return {};
    }
}

std::string_view helperVerb(int category) {
    switch (category) {
        case CleanCategoryId::SystemCaches:
            return kSystemCachesVerb;
        case CleanCategoryId::SystemLogs:
            return kSystemLogsVerb;
        default:
            return "";
    }
}

}  // namespace SystemCleanFolders

}  // namespace quillby
