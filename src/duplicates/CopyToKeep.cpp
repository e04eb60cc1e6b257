// SPDX-License-Identifier: GPL-3.0-or-later
#include "duplicates/CopyToKeep.h"

#include <vector>

#include "duplicates/DuplicateCopyRemover.h"
#include "duplicates/DuplicateReview.h"

namespace quillby {

namespace {

// The member that stays: by position or by date (ties keep the later member, as the plain rule
// keeps the last).
size_t keeperIndex(const std::vector<TreeNode::Ptr>& members, CopyToKeep rule) {
    if (rule == CopyToKeep::First) return 0;
    if (rule == CopyToKeep::Last) return members.size() - 1;
    auto dateOf = [&](size_t i) {
        return members[i]->nodeData()->ModificationDate.value_or(SimpleNodeData::Date{});
    };
    size_t chosen = 0;
    for (size_t i = 1; i < members.size(); ++i) {
        bool later =
            rule == CopyToKeep::Oldest ? dateOf(i) <= dateOf(chosen) : dateOf(i) >= dateOf(chosen);
        if (later) chosen = i;
    }
    return chosen;
}

}  // namespace

std::optional<CopyToKeep> copyToKeepNamed(std::string_view name) {
    if (name == "first") return CopyToKeep::First;
    if (name == "last") return CopyToKeep::Last;
    if (name == "oldest") return CopyToKeep::Oldest;
    if (name == "newest") return CopyToKeep::Newest;
    return std::nullopt;
}

std::size_t tickCopiesToRemove(DuplicateReview& review, CopyToKeep rule) {
    size_t bundles = 0;
    for (const auto& group : review.categoryTree(0)->children()) {
        if (DuplicateCopyRemover::isBundleGroup(*group)) {
            ++bundles;
            continue;
        }
        if (rule == CopyToKeep::Last) {
            review.clickGroupBox(group);
            continue;
        }
        auto members = group->children();
        size_t keeper = keeperIndex(members, rule);
        for (size_t i = 0; i < members.size(); ++i) {
            if (i != keeper) review.clickMemberBox(members[i], [] { return false; });
        }
    }
    return bundles;
}

TreeNode::Ptr keptMemberOf(const TreeNode::Ptr& group) {
    for (const auto& member : group->children()) {
        if (member->nodeData()->selectNum == 0) return member;
    }
    return nullptr;
}

}  // namespace quillby
