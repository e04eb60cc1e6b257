// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <optional>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "duplicates/TreeNode.h"

namespace quillby {

class DuplicateReview;
class FolderIdentities;

// Members that stay before any other of their group: those in a folder the user chose to keep
// copies in.
using KeptFirst = std::unordered_set<const TreeNode*>;

// Which copy of each group stays when the others are removed: by default the one a person
// would take for the source of the others (see keeperIndex), else by position in the group or
// by modification date.
enum class CopyToKeep { Original, First, Last, Oldest, Newest };

// The rule named "original", "first", "last", "oldest" or "newest"; nothing for any other name.
std::optional<CopyToKeep> copyToKeepNamed(std::string_view name);

// True when the last component of `path` carries a marker that file managers, browsers and
// editors add to a copy: " (copy)", " (2)", " - Copy", "Copy of ", " copy", a trailing "~".
bool hasCopyMarker(std::string_view path);

// Which of `members` (a group's files, named by their paths) stays under `rule`, chosen among
// those in `keptFirst` when any is, else among all. Original keeps a name without a copy marker,
// then the oldest, then the shortest path, then the first. Dates break ties towards the later
// member for Oldest and Newest. 0 for an empty list.
std::size_t keeperIndex(const std::vector<TreeNode::Ptr>& members, CopyToKeep rule,
                        const KeptFirst& keptFirst = {});

// The members of `tree`'s groups that lie below one of `folders`. Reads the disk: run it on a
// worker.
KeptFirst membersInFolders(const TreeNode::Ptr& tree, const FolderIdentities& folders);

// Ticks every member of every group in the review's first category except the one that stays
// (the review's keptFirst() counting), as ticking them on the page would. Bundle groups are left
// alone (they are compared as wholes and removed only from the page); gives how many were.
std::size_t tickCopiesToRemove(DuplicateReview& review, CopyToKeep rule);

// The first member of a group that stays (is not ticked); null when every member is ticked.
TreeNode::Ptr keptMemberOf(const TreeNode::Ptr& group);

}  // namespace quillby
