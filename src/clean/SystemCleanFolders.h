// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "clean/CleanRules.h"

namespace quillby {

// The fixed folders of the system categories, below the machine's /var, and the rule of each.
// The program and the privileged helper read the same table, so the helper can check for itself
// that a path it is asked to clean lies in one of them.
namespace SystemCleanFolders {

inline constexpr std::string_view kSystemCachesVerb = "clean-system-caches";
inline constexpr std::string_view kSystemLogsVerb = "clean-system-logs";
// The helper's request that trims the system journal to a size in bytes (at least the minimum).
inline constexpr std::string_view kJournalVacuumVerb = "vacuum-journal";
inline constexpr std::int64_t kJournalLimitMinimumMegabytes = 16;

// One fixed folder of a system category.
struct SystemFolder {
    std::string_view relative;  // below /var: "cache/apt/archives", "log", "crash", ...
    std::shared_ptr<const CleanRule> rule;
    // Offered only where it exists (a package manager's cache, the crash folders); /var/log is
    // always offered.
    bool onlyWhenPresent = true;
};

// The folders of a system category; none for a user category.
std::vector<SystemFolder> folders(int category);

// The helper's request that cleans an item of the category, or "" for a user category: their items
// never go through the helper.
std::string_view helperVerb(int category);

}  // namespace SystemCleanFolders

}  // namespace quillby
