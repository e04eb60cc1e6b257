// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "duplicates/TreeNode.h"

using namespace quillby;

namespace {

TreeNode::Ptr leaf(const std::string& name, std::uint64_t size = 0) {
    auto data = SimpleNodeData::leafDataWithName(name);
    data->fileSize = size;
    return TreeNode::treeNodeWithData(data);
}

TreeNode::Ptr group(const std::string& name, std::vector<TreeNode::Ptr> children,
                    std::uint64_t size = 0) {
    auto data = SimpleNodeData::groupDataWithName(name);
    data->fileSize = size;
    return TreeNode::initWithData(data, nullptr, children);
}

std::vector<std::uint64_t> sizes(const TreeNode::Ptr& node) {
    std::vector<std::uint64_t> result;
    for (auto& child : node->children()) result.push_back(child->nodeData()->fileSize);
    return result;
}

}  // namespace

TEST(TreeNode, InsertAndRemoveKeepParentsRight) {
    auto root = group("root", {});
    auto a = leaf("a"), b = leaf("b"), stranger = leaf("x");
    root->insertChild(a, 0);
    root->insertChild(b, 99);  // past the end appends
    EXPECT_EQ(root->firstChild(), a);
    EXPECT_EQ(root->lastChild(), b);
    EXPECT_EQ(a->nodeParent(), root.get());
    EXPECT_EQ(root->indexOfChild(b), 1u);

    root->removeChild(stranger);  // not a child: nothing changes
    EXPECT_EQ(root->numberOfChildren(), 2u);
    EXPECT_EQ(root->indexOfChild(stranger), TreeNode::NotFound);

    a->removeFromParent();
    EXPECT_EQ(a->nodeParent(), nullptr);
    EXPECT_EQ(root->children(), std::vector<TreeNode::Ptr>{b});
    EXPECT_EQ(root->childAtIndex(5), nullptr);

    root->_removeChildrenIdenticalTo({b});
    EXPECT_EQ(root->numberOfChildren(), 0u);
    EXPECT_EQ(b->nodeParent(), nullptr);
}

TEST(TreeNode, ChildOutlivingItsParentForgetsIt) {
    auto child = leaf("c");
    {
        auto parent = group("p", {child});
        EXPECT_EQ(child->nodeParent(), parent.get());
    }
    EXPECT_EQ(child->nodeParent(), nullptr);
}

TEST(TreeNode, SortsEveryLevel) {
    auto inner = group("inner", {leaf("x", 1), leaf("y", 3), leaf("z", 2)}, 2);
    auto root = group("root", {leaf("a", 1), leaf("b", 3), inner});
    root->decendingSortSize();
    EXPECT_EQ(sizes(root), (std::vector<std::uint64_t>{3, 2, 1}));
    EXPECT_EQ(sizes(inner), (std::vector<std::uint64_t>{3, 2, 1}));
    root->acendingSortSize();
    EXPECT_EQ(sizes(inner), (std::vector<std::uint64_t>{1, 2, 3}));
    root->decendingSortName();
    EXPECT_EQ(root->firstChild()->nodeData()->name, "inner");
    EXPECT_EQ(inner->firstChild()->nodeData()->name, "z");

    // The epoch and dates before it are dates: only a missing one sorts first.
    auto dated = group("d", {leaf("old"), leaf("none"), leaf("new"), leaf("1960")});
    dated->childAtIndex(0)->nodeData()->ModificationDate = std::chrono::system_clock::time_point{};
    dated->childAtIndex(2)->nodeData()->ModificationDate = std::chrono::system_clock::now();
    dated->childAtIndex(3)->nodeData()->ModificationDate =
        std::chrono::system_clock::time_point{} - std::chrono::hours(24 * 3650);
    dated->acendingSortDate();
    EXPECT_EQ(dated->firstChild()->nodeData()->name, "none");
    EXPECT_EQ(dated->childAtIndex(1)->nodeData()->name, "1960");
    EXPECT_EQ(dated->lastChild()->nodeData()->name, "new");
    dated->decendingSortDate();
    EXPECT_EQ(dated->firstChild()->nodeData()->name, "new");
}
