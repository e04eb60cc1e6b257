// SPDX-License-Identifier: GPL-3.0-or-later
#include "diskusage/FSNode.h"

#include <algorithm>

#include "core/fs/PathRules.h"
#include "diskusage/SubtreeRelease.h"

namespace quillby {

FSNode::FSNode(std::string path, bool isDirectory, FSNode* father)
    : isDirectory(isDirectory), father(father), name_(std::move(path)) {}

std::unique_ptr<FSNode> FSNode::childNamed(std::string_view name, bool isDirectory,
                                           FSNode* father) {
    std::unique_ptr<FSNode> node(new FSNode);
    node->isDirectory = isDirectory;
    node->father = father;
    node->name_ = name;
    node->nameIsPath_ = false;
    return node;
}

FSNode::~FSNode() {
    releaseSubtree(children);
}

std::string FSNode::path() const {
    std::vector<const FSNode*> chain;
    const FSNode* node = this;
    for (; !node->nameIsPath_ && node->father; node = node->father) chain.push_back(node);
    std::string text = node->name_;
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) text = pathInside(text, (*it)->name_);
    return text;
}

std::string_view FSNode::lastComponent() const {
    return nameIsPath_ ? folderName(name_) : std::string_view(name_);
}

std::string FSNode::displayName() const {
    return std::string(lastComponent());
}

bool FSNode::compareSize(const FSNode& a, const FSNode& b) {
    if (a.size != b.size) return a.size > b.size;
    return a.lastComponent() < b.lastComponent();
}

void FSNode::decendingSort() {
    std::vector<FSNode*> pending{this};
    while (!pending.empty()) {
        FSNode* node = pending.back();
        pending.pop_back();
        std::sort(node->children.begin(), node->children.end(),
                  [](const auto& a, const auto& b) { return compareSize(*a, *b); });
        for (auto& child : node->children) pending.push_back(child.get());
    }
}

}  // namespace quillby
