// SPDX-License-Identifier: GPL-3.0-or-later
#include "duplicates/TreeNode.h"

#include <algorithm>

namespace quillby {

TreeNode::Ptr TreeNode::treeNodeWithData(std::shared_ptr<SimpleNodeData> data) {
    return initWithData(std::move(data), nullptr, {});
}

TreeNode::Ptr TreeNode::initWithData(std::shared_ptr<SimpleNodeData> data, TreeNode* parent,
                                     const std::vector<Ptr>& children) {
    return initWithData(std::move(data), parent, std::vector<Ptr>(children));
}

TreeNode::Ptr TreeNode::initWithData(std::shared_ptr<SimpleNodeData> data, TreeNode* parent,
                                     std::vector<Ptr>&& children) {
    // One allocation for the node and its count: result trees hold tens of thousands of rows.
    struct MadeNode : TreeNode {};
    Ptr node = std::make_shared<MadeNode>();
    node->nodeData_ = std::move(data);
    node->nodeParent_ = parent;
    node->nodeChildren_ = std::move(children);
    for (auto& child : node->nodeChildren_) child->nodeParent_ = node.get();
    return node;
}

TreeNode::~TreeNode() {
    for (auto& child : nodeChildren_) {
        if (child->nodeParent_ == this) child->nodeParent_ = nullptr;
    }
}

void TreeNode::insertChild(const Ptr& child, size_t index) {
    if (!child) return;
    index = std::min(index, nodeChildren_.size());
    nodeChildren_.insert(nodeChildren_.begin() + static_cast<std::ptrdiff_t>(index), child);
    child->nodeParent_ = this;
}

void TreeNode::removeChild(const Ptr& child) {
    size_t index = indexOfChild(child);
    if (index == NotFound) return;
    Ptr keep = nodeChildren_[index];  // the parent reference is cleared before it may go
    keep->nodeParent_ = nullptr;
    nodeChildren_.erase(nodeChildren_.begin() + static_cast<std::ptrdiff_t>(index));
}

void TreeNode::removeFromParent() {
    if (nodeParent_) nodeParent_->removeChild(shared_from_this());
}

void TreeNode::_removeChildrenIdenticalTo(const std::vector<Ptr>& children) {
    for (const auto& child : children) {
        if (child && child->nodeParent_ == this) child->nodeParent_ = nullptr;
    }
    std::erase_if(nodeChildren_, [&](const Ptr& node) {
        return std::find(children.begin(), children.end(), node) != children.end();
    });
}

size_t TreeNode::indexOfChild(const Ptr& child) const {
    return indexOfChildIdenticalTo(child);
}

size_t TreeNode::indexOfChildIdenticalTo(const Ptr& child) const {
    auto it = std::find(nodeChildren_.begin(), nodeChildren_.end(), child);
    return it == nodeChildren_.end() ? NotFound : static_cast<size_t>(it - nodeChildren_.begin());
}

TreeNode::Ptr TreeNode::firstChild() const {
    return nodeChildren_.empty() ? nullptr : nodeChildren_.front();
}

TreeNode::Ptr TreeNode::lastChild() const {
    return nodeChildren_.empty() ? nullptr : nodeChildren_.back();
}

TreeNode::Ptr TreeNode::childAtIndex(size_t index) const {
    return index < nodeChildren_.size() ? nodeChildren_[index] : nullptr;
}

void TreeNode::sortRecursively(int (SimpleNodeData::*compare)(const SimpleNodeData&) const) {
    auto before = [compare](const Ptr& a, const Ptr& b) {
        if (!a->nodeData_ || !b->nodeData_) return static_cast<bool>(b->nodeData_) && !a->nodeData_;
        return ((*a->nodeData_).*compare)(*b->nodeData_) < 0;
    };
    if (nodeChildren_.size() <= kInsertionSortLimit) {
        // Small lists (a duplicate group's few members, tens of thousands of them) are sorted in
        // place: a stable sort's buffer would cost more than the sorting.
        for (size_t i = 1; i < nodeChildren_.size(); ++i) {
            for (size_t j = i; j > 0 && before(nodeChildren_[j], nodeChildren_[j - 1]); --j) {
                std::swap(nodeChildren_[j], nodeChildren_[j - 1]);
            }
        }
    } else {
        std::stable_sort(nodeChildren_.begin(), nodeChildren_.end(), before);
    }
    for (auto& child : nodeChildren_) {
        if (!child->nodeChildren_.empty()) child->sortRecursively(compare);
    }
}

void TreeNode::acendingSortName() {
    sortRecursively(&SimpleNodeData::compareName);
}
void TreeNode::acendingSortSize() {
    sortRecursively(&SimpleNodeData::compareSize);
}
void TreeNode::acendingSortDate() {
    sortRecursively(&SimpleNodeData::compareDate);
}
void TreeNode::decendingSortName() {
    sortRecursively(&SimpleNodeData::compareNameR);
}
void TreeNode::decendingSortSize() {
    sortRecursively(&SimpleNodeData::compareSizeR);
}
void TreeNode::decendingSortDate() {
    sortRecursively(&SimpleNodeData::compareDateR);
}

std::string TreeNode::description() const {
    return nodeData_ ? nodeData_->description() : "";
}

}  // namespace quillby
