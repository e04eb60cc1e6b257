#include "duplicates/SimpleTreeNode.h"

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
