#include "diskusage/W32AllDir.h"

#include <algorithm>

#include "core/fs/PathRules.h"
#include "diskusage/SubtreeRelease.h"

W32AllDir::W32AllDir(W32AllDir* parent) : parent(parent) {}

W32AllDir::~W32AllDir() {
    releaseSubtree(children);
}

std::unique_ptr<W32AllDir> W32AllDir::makeRoot(std::string_view path) {
    auto root = std::make_unique<W32AllDir>();
    // A root's name is the path its entries' paths begin with, so it ends in "/".
    root->name_ = pathInside(path, "");
    return root;
}

std::unique_ptr<W32AllDir> W32AllDir::makeChild(std::string_view name) {
    auto child = std::make_unique<W32AllDir>(this);
    child->name_ = name;
    return child;
}

std::string W32AllDir::path() const {
    std::vector<const W32AllDir*> chain;
    for (const W32AllDir* node = this; node; node = node->parent) chain.push_back(node);
    std::string text = chain.back()->name_;
    for (auto it = chain.rbegin() + 1; it != chain.rend(); ++it)
        text = pathInside(text, (*it)->name_);
    return pathInside(text, "");
}

W32AllDir* findChild(const W32AllDir& node, std::string_view path) {
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

W32AllDir* searchFile(W32AllDir* root, std::string_view path) {
    if (!root) return nullptr;
    const std::string& rootPath = root->name();
    if (path.substr(0, rootPath.size()) != rootPath) return nullptr;
    std::string_view rest = path.substr(rootPath.size());
    W32AllDir* node = root;
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

bool isLargerFolder(const std::unique_ptr<W32AllDir>& a, const std::unique_ptr<W32AllDir>& b) {
    if (a->size != b->size) return a->size > b->size;
    return a->name() < b->name();
}
