// SPDX-License-Identifier: GPL-3.0-or-later
#include "clean/SystemCleanFolders.h"

#include "clean/CleanCategory.h"
#include "clean/CleanRules.h"

namespace quillby {

namespace SystemCleanFolders {

std::vector<std::string_view> relativeFolders(int category) {
    switch (category) {
        case CleanCategoryId::SystemCaches:
            return {"cache/apt/archives", "cache/dnf", "cache/yum", "cache/pacman/pkg"};
        case CleanCategoryId::SystemLogs:
            return {"log"};
        default:
            return {};
    }
}

std::shared_ptr<const CleanRule> rule(int category) {
    static const auto packageCaches = std::make_shared<const PackageCacheRule>();
    static const auto rotatedLogs = std::make_shared<const RotatedLogRule>();
    switch (category) {
        case CleanCategoryId::SystemCaches:
            return packageCaches;
        case CleanCategoryId::SystemLogs:
            return rotatedLogs;
        default:
            return nullptr;
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
