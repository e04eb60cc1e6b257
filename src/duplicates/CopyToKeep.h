// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <optional>
#include <string_view>

#include "duplicates/TreeNode.h"

namespace quillby {

class DuplicateReview;

// Which copy of each group stays when the others are removed: by position in the group or by
// modification date.
enum class CopyToKeep { First, Last, Oldest, Newest };

// The rule named "first", "last", "oldest" or "newest"; nothing for any other name.
std::optional<CopyToKeep> copyToKeepNamed(std::string_view name);

// Ticks every member of every group in the review's first category except the one that stays,
// as ticking them on the page would. Bundle groups are left alone (they are compared as wholes
// and removed only from the page); gives how many were.
std::size_t tickCopiesToRemove(DuplicateReview& review, CopyToKeep rule);

// The first member of a group that stays (is not ticked); null when every member is ticked.
TreeNode::Ptr keptMemberOf(const TreeNode::Ptr& group);

}  // namespace quillby
