// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <memory>
#include <vector>

namespace quillby {

// Releases a node's children and everything below them one node at a time, so that a tree of
// any depth is released without deep recursion. Empty entries are skipped.
template <class Node>
void releaseSubtree(std::vector<std::unique_ptr<Node>>& children) {
    std::vector<std::unique_ptr<Node>> pending = std::move(children);
    while (!pending.empty()) {
        std::unique_ptr<Node> node = std::move(pending.back());
        pending.pop_back();
        if (!node) continue;
        for (auto& child : node->children) {
            if (child) pending.push_back(std::move(child));
        }
    }
}

}  // namespace quillby
