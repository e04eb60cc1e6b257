// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <memory>
#include <vector>

#include "duplicates/SimpleNodeData.h"

namespace quillby {

// A node of the outline lists' tree: a payload, a parent (not owned) and ordered children
// (owned; a removed child lives on only while someone else holds it).
class TreeNode : public std::enable_shared_from_this<TreeNode> {
  public:
    using Ptr = std::shared_ptr<TreeNode>;
    static constexpr size_t NotFound = static_cast<size_t>(-1);

    static Ptr treeNodeWithData(std::shared_ptr<SimpleNodeData> data);
    // A node with the given parent reference and a copy of the children list (whose parent
    // becomes the new node). The parent's own list is not changed.
    static Ptr initWithData(std::shared_ptr<SimpleNodeData> data, TreeNode* parent,
                            const std::vector<Ptr>& children);
    // The same with the list itself, for a caller that has no more use for it.
    static Ptr initWithData(std::shared_ptr<SimpleNodeData> data, TreeNode* parent,
                            std::vector<Ptr>&& children);
    virtual ~TreeNode();

    const std::shared_ptr<SimpleNodeData>& nodeData() const { return nodeData_; }
    void setNodeData(std::shared_ptr<SimpleNodeData> data) { nodeData_ = std::move(data); }
    TreeNode* nodeParent() const { return nodeParent_; }

    void insertChild(const Ptr& child, size_t index);
    // Removes the first child that is this node; anything else changes nothing.
    void removeChild(const Ptr& child);
    void removeFromParent();
    void _removeChildrenIdenticalTo(const std::vector<Ptr>& children);

    size_t indexOfChild(const Ptr& child) const;
    size_t indexOfChildIdenticalTo(const Ptr& child) const;
    size_t numberOfChildren() const { return nodeChildren_.size(); }
    std::vector<Ptr> children() const { return nodeChildren_; }
    // The children without a copy, for reading while the tree does not change.
    const std::vector<Ptr>& nodeChildren() const { return nodeChildren_; }
    Ptr firstChild() const;
    Ptr lastChild() const;
    Ptr childAtIndex(size_t index) const;

    // Each sorts the children by the payloads' comparison, then every child's subtree.
    void acendingSortName();
    void acendingSortSize();
    void acendingSortDate();
    void decendingSortName();
    void decendingSortSize();
    void decendingSortDate();

    std::string description() const;

  protected:
    TreeNode() = default;

  private:
    void sortRecursively(int (SimpleNodeData::*compare)(const SimpleNodeData&) const);
    static constexpr size_t kInsertionSortLimit = 16;

    std::shared_ptr<SimpleNodeData> nodeData_;
    TreeNode* nodeParent_ = nullptr;
    std::vector<Ptr> nodeChildren_;
};

}  // namespace quillby
