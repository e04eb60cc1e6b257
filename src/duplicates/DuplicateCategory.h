// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string_view>

namespace quillby {

// The rows of the duplicate page's category list. Row 0 ("All") holds every group; rows 1 to 5
// take the groups whose extension (in lower case) is one of theirs; row 6 ("Others") takes the
// rest. fileType is the number stored in a group's node data (its numbering differs from the
// rows' for Videos and Music).
struct DuplicateCategory {
    int row;
    std::string_view title;
    std::string_view icon;
    std::int32_t fileType;  // 0 for "All"
    std::span<const std::string_view> extensions;
};

inline constexpr int DuplicateCategoryCount = 7;

// The seven rows in list order.
std::span<const DuplicateCategory> duplicateCategories();
// The rows in the order groups are sorted into them: Documents, Music, Videos, Archives,
// Pictures, then Others.
std::array<int, 6> duplicateCategorySortingOrder();
// True when a category row (1 to 5) lists the extension, compared in lower case; Others (6)
// takes any extension, even an empty one.
bool duplicateCategoryTakes(int row, std::string_view extension);

}  // namespace quillby
