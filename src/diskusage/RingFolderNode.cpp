// SPDX-License-Identifier: GPL-3.0-or-later
#include "diskusage/RingFolderNode.h"

#include <algorithm>

#include "core/fs/PathRules.h"
#include "diskusage/SubtreeRelease.h"

namespace quillby {

RingFolderNode::RingFolderNode(RingFolderNode* parent) : parent(parent) {}

RingFolderNode::~RingFolderNode() {
    releaseSubtree(children);
}

std::unique_ptr<RingFolderNode> RingFolderNode::makeRoot(std::string_view path) {
    auto root = std::make_unique<RingFolderNode>();
    // A root's name is the path its entries' paths begin with, so it ends in "/".
    root->name_ = pathInside(path, "");
    return root;
}

std::unique_ptr<RingFolderNode> RingFolderNode::makeChild(std::string_view name) {
    auto child = std::make_unique<RingFolderNode>(this);
    child->name_ = name;
    return child;
}

std::string RingFolderNode::path() const {
    std::vector<const RingFolderNode*> chain;
    for (const RingFolderNode* node = this; node; node = node->parent) chain.push_back(node);
    std::string text = chain.back()->name_;
    for (auto it = chain.rbegin() + 1; it != chain.rend(); ++it)
        text = pathInside(text, (*it)->name_);
    return pathInside(text, "");
}

RingFolderNode* findChild(const RingFolderNode& node, std::string_view path) {
    std::string base = node.path();
    if (path.size() <= base.size() || path.substr(0, base.size()) != base) return nullptr;
    std::string_view rest = path.substr(base.size());
    if (rest.back() != '/') return nullptr;
    rest.remove_suffix(1);
    for (const auto& child : node.children) {
        if (child && child->name() == rest) return child.get();
    }
    return nullptr;
}

RingFolderNode* searchFile(RingFolderNode* root, std::string_view path) {
    if (!root) return nullptr;
    const std::string& rootPath = root->name();
    if (path.substr(0, rootPath.size()) != rootPath) return nullptr;
    std::string_view rest = path.substr(rootPath.size());
    RingFolderNode* node = root;
    while (!rest.empty()) {
        size_t slash = rest.find('/');
        if (slash == std::string_view::npos) return nullptr;
        std::string_view name = rest.substr(0, slash);
        auto it = std::find_if(node->children.begin(), node->children.end(),
                               [&](const auto& child) { return child && child->name() == name; });
        if (it == node->children.end()) return nullptr;
        node = it->get();
        rest.remove_prefix(slash + 1);
    }
    return node;
}

bool isLargerFolder(const std::unique_ptr<RingFolderNode>& a,
                    const std::unique_ptr<RingFolderNode>& b) {
    if (a->size != b->size) return a->size > b->size;
    return a->name() < b->name();
}

}  // namespace quillby
