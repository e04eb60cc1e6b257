// SPDX-License-Identifier: GPL-3.0-or-later
#include "duplicates/CopyToKeep.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <tuple>
#include <vector>

#include "core/fs/FolderIdentities.h"
#include "duplicates/DuplicateCopyRemover.h"
#include "duplicates/DuplicateReview.h"

namespace quillby {

namespace {

std::string lowered(std::string_view text) {
    std::string result(text);
    for (char& c : result) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return result;
}

bool allDigits(std::string_view text) {
    return !text.empty() && text.find_first_not_of("0123456789") == std::string_view::npos;
}

// The name without its extension; a leading dot starts a hidden name, not an extension.
std::string_view stemOf(std::string_view name) {
    auto dot = name.rfind('.');
    return dot == std::string_view::npos || dot == 0 ? name : name.substr(0, dot);
}

// " 2" or "" after a marker word: "report copy 2", "report - Copy (3)".
bool isCopyNumber(std::string_view rest) {
    if (rest.empty()) return true;
    if (rest.size() > 1 && rest.front() == ' ') rest.remove_prefix(1);
    if (rest.size() > 2 && rest.front() == '(' && rest.back() == ')')
        rest = rest.substr(1, rest.size() - 2);
    return allDigits(rest);
}

}  // namespace

bool hasCopyMarker(std::string_view path) {
    auto slash = path.rfind('/');
    std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
    if (!name.empty() && name.back() == '~') return true;
    std::string stem = lowered(stemOf(name));
    if (stem.starts_with("copy of ")) return true;
    // "report (copy)", "report (another copy)", "report (2)": a bracket at the end of the stem.
    if (stem.ends_with(")")) {
        auto open = stem.rfind(" (");
        if (open != std::string::npos) {
            std::string_view inside(stem.data() + open + 2, stem.size() - open - 3);
            if (allDigits(inside) || inside.ends_with("copy")) return true;
        }
    }
    // "report - copy", "report copy", "report copy 2".
    for (std::string_view word : {" - copy", " copy"}) {
        auto at = stem.rfind(word);
        if (at != std::string::npos &&
            isCopyNumber(std::string_view(stem).substr(at + word.size())))
            return true;
    }
    return false;
}

std::size_t keeperIndex(const std::vector<TreeNode::Ptr>& members, CopyToKeep rule,
                        const KeptFirst& keptFirst) {
    std::vector<std::size_t> candidates;
    for (std::size_t i = 0; i < members.size(); ++i) {
        if (keptFirst.contains(members[i].get())) candidates.push_back(i);
    }
    if (candidates.empty()) {
        for (std::size_t i = 0; i < members.size(); ++i) candidates.push_back(i);
    }
    if (candidates.empty()) return 0;
    if (rule == CopyToKeep::First) return candidates.front();
    if (rule == CopyToKeep::Last) return candidates.back();
    auto dateOf = [&](size_t i) {
        return members[i]->nodeData()->ModificationDate.value_or(SimpleNodeData::Date{});
    };
    if (rule == CopyToKeep::Original) {
        using Rank = std::tuple<bool, SimpleNodeData::Date, std::size_t, std::size_t>;
        Rank best{true, SimpleNodeData::Date::max(), SIZE_MAX, SIZE_MAX};
        for (std::size_t i : candidates) {
            const std::string& path = members[i]->nodeData()->name;
            // The index last: the first of equal ranks stays.
            best = std::min(best, Rank{hasCopyMarker(path), dateOf(i), path.size(), i});
        }
        return std::get<3>(best);
    }
    size_t chosen = candidates.front();
    for (size_t i : candidates) {
        bool later =
            rule == CopyToKeep::Oldest ? dateOf(i) <= dateOf(chosen) : dateOf(i) >= dateOf(chosen);
        if (later) chosen = i;
    }
    return chosen;
}

KeptFirst membersInFolders(const TreeNode::Ptr& tree, const FolderIdentities& folders) {
    KeptFirst inside;
    if (!tree || folders.empty()) return inside;
    for (const auto& group : tree->children()) {
        for (const auto& member : group->children()) {
            if (folders.holdsPath(member->nodeData()->name)) inside.insert(member.get());
        }
    }
    return inside;
}

std::optional<CopyToKeep> copyToKeepNamed(std::string_view name) {
    if (name == "original") return CopyToKeep::Original;
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
        auto members = group->children();
        size_t keeper = keeperIndex(members, rule, review.keptFirst());
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
