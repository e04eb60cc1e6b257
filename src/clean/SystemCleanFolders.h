// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <memory>
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

// The folders of a system category relative to /var ("cache/apt/archives", "log", ...); none
// for a user category.
std::vector<std::string_view> relativeFolders(int category);

// The rule that decides what in the category's folders may be deleted; null for a user category.
std::shared_ptr<const CleanRule> rule(int category);

// The helper's request that cleans an item of the category, or "" for a user category: their items
// never go through the helper.
std::string_view helperVerb(int category);

}  // namespace SystemCleanFolders

}  // namespace quillby
