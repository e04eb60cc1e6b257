// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <string_view>

namespace quillby {

// The six clean categories, in the order of rows, settings and every per-category array.
namespace CleanCategoryId {
inline constexpr int SystemCaches = 0;
inline constexpr int UserCaches = 1;
inline constexpr int SystemLogs = 2;
inline constexpr int UserLogs = 3;
inline constexpr int UserTrash = 4;
inline constexpr int UserDownloads = 5;
inline constexpr int Count = 6;
}  // namespace CleanCategoryId

struct CleanCategory {
    int id;
    std::string_view title;               // the row title
    std::string_view settingsKey;         // 0 none, 1 all, 2 some of its items checked
    std::string_view archivedSettingKey;  // the same value in the archived settings record
    std::string_view observationContext;  // names the binding of its size to its row
    std::string_view titleKey;            // localised title and description
    std::string_view descriptionKey;
};

// Every category, indexed by its id.
const std::array<CleanCategory, CleanCategoryId::Count>& cleanCategories();
// True for 0 ... 5.
bool isCleanCategoryId(int id);

// The question asked before the Downloads folder is emptied, and its explanation.
inline constexpr const char* kDownloadsConfirmMessage = "Are you sure you want to continue?";
inline constexpr const char* kDownloadsConfirmExplanation =
    "Downloads folder is selected to clean. We recommend you to view this folder for anything "
    "useful before emptying it.";

}  // namespace quillby
