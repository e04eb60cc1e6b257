// SPDX-License-Identifier: GPL-3.0-or-later
#include "duplicates/SimpleTreeNode.h"

namespace quillby {

TreeNode::Ptr SimpleTreeNode::treeFromDictionary(const OutlineDictionary& dictionary) {
    auto root = TreeNode::treeNodeWithData(SimpleNodeData::groupDataWithName(dictionary.Group));
    for (const auto& entry : dictionary.Entries) {
        TreeNode::Ptr child =
            entry.group
                ? treeFromDictionary(*entry.group)
                : TreeNode::treeNodeWithData(SimpleNodeData::leafDataWithName(entry.leafName));
        root->insertChild(child, root->numberOfChildren());
    }
    return root;
}

}  // namespace quillby
