// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "duplicates/TreeNode.h"

namespace quillby {

// A nested description of an outline: a group name and its entries in order, each a leaf name
// or a nested group.
struct OutlineDictionary {
    struct Entry {
        std::string leafName;                      // used when group is empty
        std::shared_ptr<OutlineDictionary> group;  // a nested subtree
    };
    std::string Group;
    std::vector<Entry> Entries;
};

// Builds outline trees from nested descriptions.
class SimpleTreeNode {
  public:
    static TreeNode::Ptr treeFromDictionary(const OutlineDictionary& dictionary);
};

}  // namespace quillby
