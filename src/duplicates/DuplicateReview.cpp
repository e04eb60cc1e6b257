// SPDX-License-Identifier: GPL-3.0-or-later
#include "duplicates/DuplicateReview.h"

#include <algorithm>
#include <cstdio>
#include <map>
#include <set>
#include <unordered_set>

#include "core/text/UtilityFunction.h"
#include "duplicates/CopyToKeep.h"
#include "duplicates/PathComponents.h"

namespace quillby {

namespace {

TreeNode::Ptr emptyRoot(std::string_view name) {
    return TreeNode::treeNodeWithData(SimpleNodeData::groupDataWithName(std::string(name)));
}

bool isTicked(const TreeNode::Ptr& member) {
    return member->nodeData()->selectNum == 1;
}

TreeNode::Ptr groupOf(const TreeNode::Ptr& member) {
    TreeNode* parent = member->nodeParent();
    return parent ? parent->shared_from_this() : nullptr;
}

}  // namespace

DuplicateReview::DuplicateReview(TreeNode::Ptr allTree, std::string searchFolder)
    : searchFolder_(std::move(searchFolder)) {
    auto categories = duplicateCategories();
    trees_[0] = allTree ? allTree : emptyRoot("Root");
    for (int row = 1; row < DuplicateCategoryCount; ++row)
        trees_[row] = emptyRoot(categories[row].title);
    const auto& groups = trees_[0]->nodeChildren();
    // Each group goes to the first category, in sorting order, that takes its extension; one
    // pass over the groups keeps their order within every category.
    for (const auto& group : groups) {
        auto& data = *group->nodeData();
        if (data.Mark || data.isLeaf) continue;
        for (int row : duplicateCategorySortingOrder()) {
            if (!duplicateCategoryTakes(row, data.extension())) continue;
            data.Mark = true;
            data.fileType = categories[row].fileType;
            trees_[row]->insertChild(group, trees_[row]->numberOfChildren());
            sizes_[row] += data.fileSize;
            break;
        }
    }
    refreshDisplayed();
}

int DuplicateReview::rowOfFileType(std::int32_t fileType) {
    for (const auto& category : duplicateCategories()) {
        if (category.row > 0 && category.fileType == fileType) return category.row;
    }
    return 6;
}

TreeNode::Ptr DuplicateReview::categoryTree(int row) const {
    return trees_[static_cast<size_t>(std::clamp(row, 0, DuplicateCategoryCount - 1))];
}

std::uint64_t DuplicateReview::categorySize(int row) const {
    if (row != 0)
        return sizes_[static_cast<size_t>(std::clamp(row, 1, DuplicateCategoryCount - 1))];
    std::uint64_t total = 0;
    for (int i = 1; i < DuplicateCategoryCount; ++i) total += sizes_[static_cast<size_t>(i)];
    return total;
}

std::string DuplicateReview::categorySizeText(int row) const {
    std::uint64_t size = categorySize(row);
    return size == 0 ? "0.0KB" : UtilityFunction::convertVolSpace(size);
}

void DuplicateReview::showCategory(int row) {
    shownRow_ = std::clamp(row, 0, DuplicateCategoryCount - 1);
    refreshDisplayed();
}

void DuplicateReview::setNameFilter(std::string_view text) {
    filter_ = DuplicateGroupFilter(text);
    refreshDisplayed();
}

void DuplicateReview::refreshDisplayed() {
    // Without a filter the category's own list is on show: a result of tens of thousands of
    // groups is not copied.
    std::vector<TreeNode::Ptr>().swap(filtered_);
    if (!filter_.empty()) {
        for (const auto& group : displayedTree()->nodeChildren()) {
            if (filter_.matches(*group)) filtered_.push_back(group);
        }
    }
    allFilesCount_ = countDisplayedMembers();
}

std::size_t DuplicateReview::countDisplayedMembers() const {
    std::size_t count = 0;
    for (const auto& group : displayedGroups()) count += group->numberOfChildren();
    return count;
}

std::string DuplicateReview::titleLine() const {
    std::string title =
        shownRow_ == 0 ? std::string(lastPathComponent(searchFolder_))
                       : std::string(duplicateCategories()[static_cast<size_t>(shownRow_)].title);
    char text[64];
    std::snprintf(text, sizeof text, "%lu files in ",
                  static_cast<unsigned long>(countDisplayedMembers()));
    return text + title + ".";
}

std::size_t DuplicateReview::tickedCount(const TreeNode& group) {
    std::size_t ticked = 0;
    for (size_t i = 0; i < group.numberOfChildren(); ++i) {
        ticked += isTicked(group.childAtIndex(i)) ? 1 : 0;
    }
    return ticked;
}

std::string DuplicateReview::showSelectNumStr(const TreeNode& group) {
    return std::to_string(tickedCount(group)) + "/" + std::to_string(group.numberOfChildren());
}

void DuplicateReview::tick(const TreeNode::Ptr& member) {
    if (isTicked(member)) return;
    member->nodeData()->selectNum = 1;
    allSelectNumArr_.push_back(member);
}

void DuplicateReview::untick(const TreeNode::Ptr& member) {
    member->nodeData()->selectNum = 0;
    std::erase(allSelectNumArr_, member);
}

void DuplicateReview::clickGroupBox(const TreeNode::Ptr& group) {
    auto members = group->children();
    if (group->nodeData()->selectNum == 0) {
        size_t keeper = keeperIndex(members, CopyToKeep::Original, keptFirst_);
        for (size_t i = 0; i < members.size(); ++i) {
            if (i != keeper) tick(members[i]);
        }
        // A group of one keeps its only member: nothing was ticked, so nothing is "some".
        group->nodeData()->selectNum = members.size() > 1 ? 2 : 0;
    } else {
        for (const auto& member : members) untick(member);
        group->nodeData()->selectNum = 0;
    }
}

TreeNode::Ptr DuplicateReview::clickMemberBox(const TreeNode::Ptr& member,
                                              const ConfirmAllCopies& confirm) {
    TreeNode::Ptr group = groupOf(member);
    if (!group) return nullptr;
    TreeNode::Ptr kept;
    if (isTicked(member)) {
        untick(member);
        group->nodeData()->selectNum = tickedCount(*group) == 0 ? 0 : 2;
    } else {
        size_t siblingsTicked = tickedCount(*group);
        size_t members = group->numberOfChildren();
        if (siblingsTicked + 1 >= members) {
            if (!confirm || !confirm()) return nullptr;
            // The last copy is never removed: copyKeptIfTicked names the one that stays.
            kept = copyKeptIfTicked(member);
            tick(member);
            if (kept) untick(kept);
            group->nodeData()->selectNum = tickedCount(*group) > 0 ? 2 : 0;
        } else {
            tick(member);
            group->nodeData()->selectNum = 2;
        }
    }
    return kept;
}

TreeNode::Ptr DuplicateReview::copyKeptIfTicked(const TreeNode::Ptr& member) const {
    TreeNode::Ptr group = groupOf(member);
    if (!group || isTicked(member) || tickedCount(*group) + 1 < group->numberOfChildren())
        return nullptr;
    std::vector<TreeNode::Ptr> others;
    for (const auto& sibling : group->children()) {
        if (sibling != member) others.push_back(sibling);
    }
    return others.empty() ? nullptr : others[keeperIndex(others, CopyToKeep::Original, keptFirst_)];
}

void DuplicateReview::clickHeaderBox(bool on) {
    for (const auto& group : displayedGroups()) {
        auto members = group->children();
        size_t keeper = keeperIndex(members, CopyToKeep::Original, keptFirst_);
        for (size_t i = 0; i < members.size(); ++i) {
            if (on && i != keeper) {
                tick(members[i]);
            } else {
                untick(members[i]);
            }
        }
        group->nodeData()->selectNum = (on && members.size() > 1) ? 2 : 0;
    }
}

DuplicateReview::HeaderState DuplicateReview::headerState() const {
    bool allOff = true, allOn = true;
    for (const auto& group : displayedGroups()) {
        std::int32_t state = group->nodeData()->selectNum;
        allOff = allOff && state == 0;
        allOn = allOn && state == 1;
    }
    if (allOff) return HeaderState::Off;
    return allOn ? HeaderState::All : HeaderState::Some;
}

template <class Visit>
void DuplicateReview::forEachTickedFile(Visit visit) const {
    struct File {
        std::uint64_t size = 0;
        std::uint32_t linkCount = 1;
        std::size_t tickedNames = 0;
        bool nameStays = false;  // an unticked member of the group is the same file
    };
    std::map<std::pair<dev_t, std::uint64_t>, File> files;
    auto fileOf = [&](const FileIdentity& identity) -> File& {
        auto [at, added] = files.try_emplace({identity.device, identity.inode});
        if (added) at->second.linkCount = identity.linkCount;
        return at->second;
    };
    std::unordered_set<const TreeNode*> groupsSeen;
    for (const auto& member : allSelectNumArr_) {
        auto found = identities_.find(member.get());
        if (found == identities_.end()) {
            visit(member->nodeData()->fileSize, 0);
            continue;
        }
        File& file = fileOf(found->second);
        file.size = member->nodeData()->fileSize;
        ++file.tickedNames;
        const TreeNode* group = member->nodeParent();
        if (!group || !groupsSeen.insert(group).second) continue;
        for (const auto& sibling : group->children()) {
            auto identity = identities_.find(sibling.get());
            if (isTicked(sibling) || identity == identities_.end()) continue;
            fileOf(identity->second).nameStays = true;
        }
    }
    for (const auto& entry : files) {
        const File& file = entry.second;
        if (file.tickedNames == 0) continue;
        bool freed = !file.nameStays && file.tickedNames >= file.linkCount;
        visit(freed ? file.size : 0, freed ? 0 : file.tickedNames);
    }
}

std::uint64_t DuplicateReview::bytesFreedByTicked() const {
    std::uint64_t bytes = 0;
    forEachTickedFile([&](std::uint64_t freed, std::size_t) { bytes += freed; });
    return bytes;
}

std::size_t DuplicateReview::tickedNamesOfOneFile() const {
    std::size_t names = 0;
    forEachTickedFile([&](std::uint64_t, std::size_t nothing) { names += nothing; });
    return names;
}

std::uint64_t DuplicateReview::extraCopyBytes(const TreeNode& group) const {
    std::set<std::pair<dev_t, std::uint64_t>> files;
    std::uint64_t bytes = 0;
    bool firstFile = true;
    for (size_t i = 0; i < group.numberOfChildren(); ++i) {
        TreeNode::Ptr member = group.childAtIndex(i);
        auto found = identities_.find(member.get());
        if (found != identities_.end() &&
            !files.insert({found->second.device, found->second.inode}).second) {
            continue;  // another name of a file already counted
        }
        if (!firstFile) bytes += member->nodeData()->fileSize;
        firstFile = false;
    }
    return bytes;
}

bool DuplicateReview::isNameOfSharedFile(const TreeNode& member) const {
    auto found = identities_.find(&member);
    if (found == identities_.end()) return false;
    if (found->second.linkCount > 1) return true;
    const TreeNode* group = member.nodeParent();
    if (!group) return false;
    for (size_t i = 0; i < group->numberOfChildren(); ++i) {
        TreeNode::Ptr sibling = group->childAtIndex(i);
        auto other = identities_.find(sibling.get());
        if (sibling.get() != &member && other != identities_.end() &&
            other->second == found->second)
            return true;
    }
    return false;
}

std::string DuplicateReview::selectionLine() const {
    char text[96];
    std::snprintf(text, sizeof text, "%d of %d selected.",
                  static_cast<int>(allSelectNumArr_.size()), static_cast<int>(allFilesCount_));
    return text;
}

void DuplicateReview::removeGroup(const TreeNode::Ptr& group) {
    trees_[0]->removeChild(group);
    trees_[static_cast<size_t>(rowOfFileType(group->nodeData()->fileType))]->removeChild(group);
}

void DuplicateReview::applyRemoval(const TreeNode::Ptr& member, const TreeNode::Ptr& group) {
    auto& groupData = *group->nodeData();
    const std::uint64_t size = member->nodeData()->fileSize;
    auto& categoryTotal = sizes_[static_cast<size_t>(rowOfFileType(groupData.fileType))];
    groupData.fileSize -= std::min(groupData.fileSize, size);
    categoryTotal -= std::min(categoryTotal, size);
    group->removeChild(member);
    if (group->numberOfChildren() == 0) {
        removeGroup(group);
    } else if (groupData.selectNum == 2 && group->numberOfChildren() == 1) {
        // One copy left is no longer a duplicate: the group goes, and its size with it.
        std::uint64_t left = group->firstChild()->nodeData()->fileSize;
        categoryTotal -= std::min(categoryTotal, left);
        removeGroup(group);
    } else if (groupData.selectNum == 2) {
        groupData.selectNum = tickedCount(*group) > 0 ? 2 : 0;
    }
}

DuplicateReview::DeletionReport DuplicateReview::reportOf(
    const std::vector<TreeNode::Ptr>& members, const std::vector<RemovalOutcome>& outcomes) {
    DeletionReport report;
    report.attempted = std::min(members.size(), outcomes.size());
    report.stopped = outcomes.size() < members.size();
    for (std::size_t i = 0; i < report.attempted; ++i) {
        if (outcomes[i].gone()) report.deleted.push_back(members[i]);
    }
    return report;
}

std::size_t DuplicateReview::finishDeletion(const DeletionReport& report) {
    for (const auto& member : report.deleted) {
        // A member already taken out of its group (listed twice) changes nothing more.
        if (TreeNode::Ptr group = groupOf(member)) applyRemoval(member, group);
    }
    if (report.stopped) {
        for (const auto& member : allSelectNumArr_) member->nodeData()->selectNum = 0;
        allSelectNumArr_.clear();
    } else {
        for (const auto& member : report.deleted) std::erase(allSelectNumArr_, member);
    }
    std::size_t left = allSelectNumArr_.size();
    // A member whose group left the trees can no longer be shown or unticked: forget it.
    std::erase_if(allSelectNumArr_, [&](const TreeNode::Ptr& member) {
        TreeNode::Ptr group = groupOf(member);
        if (group && trees_[0]->indexOfChildIdenticalTo(group) != TreeNode::NotFound) return false;
        member->nodeData()->selectNum = 0;
        return true;
    });
    refreshDisplayed();  // groups may have left the trees
    for (const auto& group : displayedGroups()) {
        for (const auto& member : group->children()) untick(member);
        group->nodeData()->selectNum = 0;
    }
    return left;
}

}  // namespace quillby
