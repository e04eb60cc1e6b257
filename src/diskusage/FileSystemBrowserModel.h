// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/fs/RemovalOutcome.h"
#include "diskusage/FSNode.h"

namespace quillby {

// The column browser's logic over the item tree: rows and their three-state checkboxes (0
// none, 1 all, 2 partly), checking that spreads down to a folder's items and up to its
// ancestors, and removal of the checked items with the sizes of their folders shrinking.
class FileSystemBrowserModel {
  public:
    // Row geometry: 34 high; the checkbox is 18 × 18 at 3 from the left and 12 from the top.
    static constexpr double kRowHeight = 34.0;
    // Whether the point (x, y) of a row, measured from its top left corner, is on its checkbox.
    static bool checkBoxContains(double x, double y);
    // "option_no.png", "option_yes.png" or "option_a.png" for the states 0, 1 and 2.
    static std::string_view checkBoxImageName(int state);

    // The number of items of `item` as the browser asks for it: an item with children whose
    // state is 0 or 1 first passes its state on to each of its direct children.
    static size_t numberOfChildrenOfItem(FSNode& item);
    // An item is a leaf when it is not a folder.
    static bool isItemLeaf(const FSNode& item) { return !item.isDirectory; }

    // A click on the node's checkbox: 0 → 1, 1 → 0, 2 → 1 (the item as a whole); the ancestors
    // are updated from the node's father, the node's direct children take the new state, and
    // "refRemoveButtonState" is published with the node (FSNode*).
    static void clickCheckBox(FSNode& node);
    // The browser's own value editing: the node's `state` takes the value, the ancestors are
    // updated from the father and the direct children take the value as check state.
    static void setObjectValue(FSNode& node, bool value);
    // Sets the node's check state from its children (0 when all are 0, else 2 when any is 0
    // or 2, else 1), then its father's, and so on while there is a father with a path. A state
    // worked out so stands for the listed items only, not for the folder as a whole.
    static void updateAncestors(FSNode* node);

    // The items a removal takes, in order (delNodesArr), by one rule from the top-level items
    // down: an item checked as a whole is taken with everything in it; a folder that is partly
    // checked, or checked only because all its listed items are, is looked into by the same
    // rule; an unchecked item is skipped. So a folder goes whole only when the user checked it
    // (or a folder holding it), and nothing the list never showed goes otherwise.
    static std::vector<FSNode*> collectCheckedNodes(FSNode& root);

    // Applies what became of the items `nodes` (`outcomes[i]` for `nodes[i]`; an item with no
    // outcome was not tried): an item whose outcome is gone leaves its folder, and its size
    // leaves the folder and every ancestor (never below 0); any other stays with its state.
    // Then the check states are updated from each item's folder upwards. Returns the bytes
    // that left the tree.
    static std::uint64_t applyRemovals(const std::vector<FSNode*>& nodes,
                                       const std::vector<RemovalOutcome>& outcomes);

    // The remove button is enabled when no scan runs, the selected row was scanned in browser
    // mode and some top-level item is checked or partly checked.
    static bool removeButtonEnabled(const FSNode* root, bool scanRunning, bool rowScanned);
};

}  // namespace quillby
