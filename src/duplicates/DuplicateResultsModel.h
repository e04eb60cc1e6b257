// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "duplicates/DuplicateReview.h"
#include "duplicates/DuplicateSearchSettings.h"
#include "duplicates/TreeNode.h"
#include "duplicates/getFileList.h"

namespace quillby {

// What the duplicate page's results view shows, without widgets: the review of one search (the
// seven categories, ticks, deletion), the outline's sort, the title and selection lines and
// the texts that report a deletion. The results widget binds it and tests drive it directly.
class DuplicateResultsModel {
  public:
    enum class SortColumn { None, Name, Size, Date };

    // The results of a search of `searchFolder` made with `searchedWith`; `tree` is null when
    // nothing was found. The members in `keptFirst` stay before the others of their group.
    DuplicateResultsModel(TreeNode::Ptr tree, std::string searchFolder,
                          MemberIdentities identities = {},
                          std::vector<FolderNotListed> notSearched = {},
                          DuplicateSearchSettings searchedWith = {}, KeptFirst keptFirst = {});

    DuplicateReview& review() { return review_; }
    const DuplicateReview& review() const { return review_; }

    // Shows a category row (0 "All" to 6 "Others"); the displayed tree keeps the current sort.
    void showCategory(int row);
    // The search field over the results: shows only the groups whose name or member paths
    // hold `text`, case aside (see DuplicateGroupFilter); empty shows all.
    void filterGroups(std::string_view text) { review_.setNameFilter(text); }

    // A click on a sortable column's header: the same column again reverses the order, another
    // column sorts ascending. Groups are sorted among themselves, then each group's members.
    void clickSortHeader(SortColumn column);
    SortColumn sortColumn() const { return sortColumn_; }
    bool sortAscending() const { return ascending_; }

    // "%lu files in %@." cut after 25 characters (with "..."), and the whole text.
    std::string titleText() const;
    std::string titleTooltip() const { return review_.titleLine(); }
    // "%d of %d selected."
    std::string selectionLine() const { return review_.selectionLine(); }
    // What removing the ticked members frees, and which of them free nothing.
    std::string freeLine() const;

    // Ticks a member as the page does; when the last copy was asked for and kept anyway the
    // notice says which member stays.
    void clickMemberBox(const TreeNode::Ptr& member, const DuplicateReview::ConfirmAllCopies& ok);
    const std::string& notice() const { return notice_; }

    // The member a row's actions (open, reveal) act on: the member itself, or a group's first.
    static TreeNode::Ptr actionTarget(const TreeNode::Ptr& row);

    // When the search found no duplicates: says so, with the settings that left files out
    // (the size limit, hidden files, system folders). Empty when it found any.
    std::string emptyResultLine() const;

    // The folders the search could not read, one "PATH: reason" each.
    std::vector<std::string> notSearchedLines() const;

  private:
    void applySort();

    DuplicateReview review_;
    std::vector<FolderNotListed> notSearched_;
    DuplicateSearchSettings searchedWith_;
    bool foundNothing_ = false;
    SortColumn sortColumn_ = SortColumn::None;
    bool ascending_ = true;
    std::string notice_;
};

}  // namespace quillby
