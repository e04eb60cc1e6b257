// SPDX-License-Identifier: GPL-3.0-or-later
#include "duplicates/DuplicateResultsModel.h"

#include <system_error>

#include "core/text/PlainText.h"
#include "core/text/UtilityFunction.h"

namespace quillby {

namespace {

constexpr std::size_t kTitleKept = 25;

}  // namespace

DuplicateResultsModel::DuplicateResultsModel(TreeNode::Ptr tree, std::string searchFolder,
                                             MemberIdentities identities,
                                             std::vector<FolderNotListed> notSearched,
                                             DuplicateSearchSettings searchedWith,
                                             KeptFirst keptFirst)
    : review_(std::move(tree), std::move(searchFolder)),
      notSearched_(std::move(notSearched)),
      searchedWith_(searchedWith) {
    review_.setMemberIdentities(std::move(identities));
    review_.setKeptFirst(std::move(keptFirst));
    TreeNode::Ptr all = review_.categoryTree(0);
    foundNothing_ = !all || all->numberOfChildren() == 0;
}

std::string DuplicateResultsModel::emptyResultLine() const {
    if (!foundNothing_) return {};
    std::vector<std::string> leftOut;
    if (searchedWith_.threshold > 0) {
        leftOut.push_back("files of " + UtilityFunction::convertVolSpace(searchedWith_.threshold) +
                          " or less");
    }
    if (!searchedWith_.includeHidden) leftOut.push_back("hidden files");
    if (!searchedWith_.includeSystem) leftOut.push_back("system folders");
    std::string line = "No duplicates found.";
    for (std::size_t i = 0; i < leftOut.size(); ++i)
        line += (i == 0 ? " Not compared: " : ", ") + leftOut[i];
    return leftOut.empty() ? line : line + ".";
}

void DuplicateResultsModel::showCategory(int row) {
    review_.showCategory(row);
    applySort();
}

void DuplicateResultsModel::clickSortHeader(SortColumn column) {
    if (column == SortColumn::None) return;
    ascending_ = column == sortColumn_ ? !ascending_ : true;
    sortColumn_ = column;
    applySort();
}

void DuplicateResultsModel::applySort() {
    TreeNode& tree = *review_.displayedTree();
    switch (sortColumn_) {
        case SortColumn::None:
            return;
        case SortColumn::Name:
            ascending_ ? tree.acendingSortName() : tree.decendingSortName();
            break;
        case SortColumn::Size:
            ascending_ ? tree.acendingSortSize() : tree.decendingSortSize();
            break;
        case SortColumn::Date:
            ascending_ ? tree.acendingSortDate() : tree.decendingSortDate();
            break;
    }
    review_.refreshDisplayed();  // the groups on show follow the new order
}

std::string DuplicateResultsModel::titleText() const {
    return cutText(review_.titleLine(), kTitleKept);
}

std::string DuplicateResultsModel::freeLine() const {
    if (review_.tickedMembers().empty()) return {};
    std::string line =
        "Frees " + UtilityFunction::convertVolSpace(review_.bytesFreedByTicked()) + ".";
    if (std::size_t names = review_.tickedNamesOfOneFile(); names > 0) {
        line += " " + std::to_string(names) +
                (names == 1 ? " ticked copy is a name" : " ticked copies are names") +
                " of a file that stays under another name and frees nothing.";
    }
    return line;
}

void DuplicateResultsModel::clickMemberBox(const TreeNode::Ptr& member,
                                           const DuplicateReview::ConfirmAllCopies& ok) {
    notice_.clear();
    if (TreeNode::Ptr kept = review_.clickMemberBox(member, ok)) {
        notice_ = kept->nodeData()->name + " stays: every group keeps one copy.";
    }
}

TreeNode::Ptr DuplicateResultsModel::actionTarget(const TreeNode::Ptr& row) {
    if (!row) return nullptr;
    return row->nodeData()->isGroup() ? row->firstChild() : row;
}

std::vector<std::string> DuplicateResultsModel::notSearchedLines() const {
    std::vector<std::string> lines;
    for (const auto& folder : notSearched_) {
        lines.push_back(folder.path + ": " + std::generic_category().message(folder.error));
    }
    return lines;
}

}  // namespace quillby
