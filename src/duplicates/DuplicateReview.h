// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "core/fs/RemovalOutcome.h"
#include "duplicates/CopyToKeep.h"
#include "duplicates/DuplicateCategory.h"
#include "duplicates/DuplicateGroupFilter.h"
#include "duplicates/MemberIdentity.h"
#include "duplicates/TreeNode.h"

namespace quillby {

// The duplicate page's model: the result tree sorted into the seven categories, the ticks
// (a member's selectNum is 0 or 1; a group's is 0 none, 1 all, 2 some, with a "ticked/members"
// text), and the group and category updates once ticked members are removed. Lives on the main
// thread.
//
// Every group keeps at least one unticked member: the copy the others are compared with before
// they go, and the one that is left when they are gone.
class DuplicateReview {
  public:
    // Asked before a tick would select every copy of a group; true to go ahead.
    using ConfirmAllCopies = std::function<bool()>;
    enum class HeaderState { Off, All, Some };

    struct DeletionReport {
        std::vector<TreeNode::Ptr> deleted;
        std::size_t attempted = 0;
        bool stopped = false;
    };

    // Sorts the groups of `allTree` (null when nothing was found) into the categories and shows
    // "All". `searchFolder` names the "All" title line.
    DuplicateReview(TreeNode::Ptr allTree, std::string searchFolder);

    // The tree of a row (0 = "All"): a root and its groups, the same group objects as in "All".
    TreeNode::Ptr categoryTree(int row) const;
    // A row's total size in bytes; for "All" the sum of the six categories.
    std::uint64_t categorySize(int row) const;
    // The size text of a row, "0.0KB" when the total is 0.
    std::string categorySizeText(int row) const;

    void showCategory(int row);
    int shownCategory() const { return shownRow_; }
    TreeNode::Ptr displayedTree() const { return categoryTree(shownRow_); }
    // The groups on show: those of the shown category the name filter lets through, in the
    // category tree's order. The header box, the counts and the title line go by them.
    const std::vector<TreeNode::Ptr>& displayedGroups() const {
        return filter_.empty() ? categoryTree(shownRow_)->nodeChildren() : filtered_;
    }
    // Filters the shown groups by name or member path (see DuplicateGroupFilter); ticks of the
    // groups it hides stay as they are.
    void setNameFilter(std::string_view text);
    const DuplicateGroupFilter& nameFilter() const { return filter_; }
    // Reads the groups on show again: after the category tree was sorted.
    void refreshDisplayed();
    // Members on show, as counted when they were shown or the last deletion ended.
    std::size_t filesInShownCategory() const { return allFilesCount_; }
    // "%lu files in %@." with the member count and the category title (the search folder's
    // last component for "All").
    std::string titleLine() const;

    // The members that stay before the others of their group (see membersInFolders); the boxes
    // below choose the copy that stays among them, by the default rule, where a group has any.
    void setKeptFirst(KeptFirst members) { keptFirst_ = std::move(members); }
    const KeptFirst& keptFirst() const { return keptFirst_; }

    // The group box: with nothing ticked, ticks every member but the one keeperIndex keeps by
    // default (no copy marker, then oldest, then shortest path); else unticks all.
    void clickGroupBox(const TreeNode::Ptr& group);
    // The member box: unticks a ticked member; ticks an unticked one, asking `confirm` first
    // when that would tick every member of its group. When the answer is yes the member is
    // ticked and copyKeptIfTicked(member) is unticked and kept instead: that member is
    // returned, null otherwise.
    TreeNode::Ptr clickMemberBox(const TreeNode::Ptr& member, const ConfirmAllCopies& confirm);
    // The member that stays when ticking `member` would tick its whole group: the default
    // keeper among the others. Null when ticking it leaves another member unticked anyway.
    TreeNode::Ptr copyKeptIfTicked(const TreeNode::Ptr& member) const;
    // The header box: on ticks every member but the default keeper of each displayed group;
    // off unticks everything displayed (groups the filter hides keep their ticks). Nothing happens
    // when nothing is displayed.
    void clickHeaderBox(bool on);

    HeaderState headerState() const;
    bool removeEnabled() const { return !allSelectNumArr_.empty(); }
    // "%d of %d selected." with the ticked members and filesInShownCategory().
    std::string selectionLine() const;
    // Every ticked member, in the order ticked, across all categories.
    const std::vector<TreeNode::Ptr>& tickedMembers() const { return allSelectNumArr_; }

    // Which file each member is (see readMemberIdentities); without it every member counts as
    // a file of its own.
    void setMemberIdentities(MemberIdentities identities) { identities_ = std::move(identities); }
    const MemberIdentities& memberIdentities() const { return identities_; }
    // The bytes removing the ticked members would free: a name of a file that keeps another
    // name (an unticked member of its group, or a hard link elsewhere) frees nothing.
    std::uint64_t bytesFreedByTicked() const;
    // How many ticked members are such names, freeing nothing.
    std::size_t tickedNamesOfOneFile() const;
    // The bytes a group's extra copies take: every file of the group but one, names of one
    // file counting once (a member of unknown identity counts as a file of its own).
    std::uint64_t extraCopyBytes(const TreeNode& group) const;
    // True when a member is one of several names of one file: another member of its group is
    // the same file, or the file has names outside the group.
    bool isNameOfSharedFile(const TreeNode& member) const;

    // What a removal did to the ticked members, from its outcomes: outcomes[i] is that of
    // members[i]; members without an outcome were not tried (the removal was stopped).
    static DeletionReport reportOf(const std::vector<TreeNode::Ptr>& members,
                                   const std::vector<RemovalOutcome>& outcomes);
    // Ends a removal on the main thread: the members gone leave their groups (sizes fall, an
    // emptied group, or a partly ticked group left with one member, leaves its trees), drops
    // them from the ticked list (all of it when stopped), unticks everything displayed and
    // counts the shown files again. Gives how many ticked members were left (removals that
    // failed).
    std::size_t finishDeletion(const DeletionReport& report);

    // A group's "ticked/members" text, as its row shows it.
    static std::string showSelectNumStr(const TreeNode& group);
    // The category row of a group's fileType (1 Documents, 2 Music, 3 Videos, ...).
    static int rowOfFileType(std::int32_t fileType);

  private:
    void tick(const TreeNode::Ptr& member);
    void untick(const TreeNode::Ptr& member);
    static std::size_t tickedCount(const TreeNode& group);
    void removeGroup(const TreeNode::Ptr& group);
    // Walks the ticked members by file: `visit(bytesFreed, namesFreeingNothing)` per file.
    template <class Visit>
    void forEachTickedFile(Visit visit) const;
    void applyRemoval(const TreeNode::Ptr& member, const TreeNode::Ptr& group);
    std::size_t countDisplayedMembers() const;

    std::string searchFolder_;
    std::array<TreeNode::Ptr, DuplicateCategoryCount> trees_;
    std::array<std::uint64_t, DuplicateCategoryCount> sizes_{};
    int shownRow_ = 0;
    std::size_t allFilesCount_ = 0;
    DuplicateGroupFilter filter_;
    std::vector<TreeNode::Ptr> filtered_;  // the groups on show while a filter is set
    std::vector<TreeNode::Ptr> allSelectNumArr_;
    MemberIdentities identities_;
    KeptFirst keptFirst_;
};

}  // namespace quillby
