// SPDX-License-Identifier: GPL-3.0-or-later
#include "diskusage/FileSystemBrowserModel.h"

#include <algorithm>
#include <memory>
#include <unordered_set>

#include "core/events/EventBus.h"
#include "core/events/Events.h"

namespace quillby {

namespace {

// Gives the node's direct children its state. A check that stands for the node as a whole
// stands for each of them as a whole; a folder checked only through its listed items leaves
// its children's own checks as they are.
void passStateToChildren(FSNode& node, int state) {
    for (auto& child : node.children) {
        child->checkedWhole = state == 1 && (node.checkedWhole || child->checkedWhole);
        child->isButtonState = state;
    }
}

// Whether a removal takes the item itself rather than looking into it.
bool goesWhole(const FSNode& item) {
    return item.isButtonState == 1 && (item.checkedWhole || !item.isDirectory);
}

}  // namespace

bool FileSystemBrowserModel::checkBoxContains(double x, double y) {
    return x >= 3.0 && x <= 21.0 && y >= 12.0 && y <= 30.0;
}

std::string_view FileSystemBrowserModel::checkBoxImageName(int state) {
    if (state == 1) return "option_yes.png";
    if (state == 2) return "option_a.png";
    return "option_no.png";
}

size_t FileSystemBrowserModel::numberOfChildrenOfItem(FSNode& item) {
    if (!item.children.empty() && (item.isButtonState == 0 || item.isButtonState == 1)) {
        passStateToChildren(item, item.isButtonState);
    }
    return item.children.size();
}

void FileSystemBrowserModel::clickCheckBox(FSNode& node) {
    node.isButtonState = node.isButtonState == 1 ? 0 : 1;
    node.checkedWhole = node.isButtonState == 1;
    updateAncestors(node.father);
    passStateToChildren(node, node.isButtonState);
    EventBus::defaultCenter().post(Events::refRemoveButtonState, &node);
}

void FileSystemBrowserModel::setObjectValue(FSNode& node, bool value) {
    node.state = value ? 1 : 0;
    updateAncestors(node.father);
    for (auto& child : node.children) {
        child->isButtonState = value ? 1 : 0;
        child->checkedWhole = value;
    }
}

void FileSystemBrowserModel::updateAncestors(FSNode* node) {
    while (node) {
        size_t unchecked = 0;
        size_t partly = 0;
        for (const auto& child : node->children) {
            if (child->isButtonState == 0) ++unchecked;
            if (child->isButtonState == 2) ++partly;
        }
        if (unchecked == node->children.size()) {
            node->isButtonState = 0;
        } else {
            node->isButtonState = (unchecked > 0 || partly > 0) ? 2 : 1;
        }
        node->checkedWhole = false;
        FSNode* father = node->father;
        if (!father || father->path().empty()) break;
        node = father;
    }
}

std::vector<FSNode*> FileSystemBrowserModel::collectCheckedNodes(FSNode& root) {
    std::vector<FSNode*> collected;
    // Depth first in child order, without recursion.
    std::vector<std::pair<FSNode*, size_t>> stack{{&root, 0}};
    while (!stack.empty()) {
        auto& [folder, next] = stack.back();
        if (next == folder->children.size()) {
            stack.pop_back();
            continue;
        }
        FSNode* item = folder->children[next++].get();
        if (goesWhole(*item)) {
            collected.push_back(item);
        } else if (item->isButtonState != 0) {
            stack.emplace_back(item, 0);
        }
    }
    return collected;
}

std::uint64_t FileSystemBrowserModel::applyRemovals(const std::vector<FSNode*>& nodes,
                                                    const std::vector<RemovalOutcome>& outcomes) {
    std::uint64_t freed = 0;
    std::unordered_set<const FSNode*> gone;
    std::vector<FSNode*> fathers;
    std::unordered_set<const FSNode*> seenFathers;
    for (size_t i = 0; i < nodes.size() && i < outcomes.size(); ++i) {
        FSNode* node = nodes[i];
        if (outcomes[i].gone()) {
            freed += node->size;
            gone.insert(node);
            for (FSNode* ancestor = node->father; ancestor; ancestor = ancestor->father) {
                ancestor->size = ancestor->size > node->size ? ancestor->size - node->size : 0;
            }
        }
        if (node->father && seenFathers.insert(node->father).second) {
            fathers.push_back(node->father);
        }
    }
    // One pass over each folder's items, so that taking many items out of a large folder
    // stays linear.
    for (FSNode* father : fathers) {
        std::erase_if(father->children,
                      [&gone](const auto& child) { return gone.count(child.get()) > 0; });
    }
    // From each item's folder upwards: an item that could not be removed keeps the state the
    // user gave it (worked out from its own items, a file or an emptied folder would lose it).
    for (FSNode* father : fathers) updateAncestors(father);
    return freed;
}

bool FileSystemBrowserModel::removeButtonEnabled(const FSNode* root, bool scanRunning,
                                                 bool rowScanned) {
    if (scanRunning || !rowScanned || !root) return false;
    return std::any_of(root->children.begin(), root->children.end(),
                       [](const auto& child) { return child->isButtonState != 0; });
}

}  // namespace quillby
