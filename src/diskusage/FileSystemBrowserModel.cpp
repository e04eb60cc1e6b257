#include "diskusage/FileSystemBrowserModel.h"

#include <algorithm>
#include <memory>

#include "core/EventBus.h"
#include "core/Events.h"

namespace {

void passStateToChildren(FSNode& node, int state) {
    for (auto& child : node.children) child->isButtonState = state;
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
    updateAncestors(node.father);
    passStateToChildren(node, node.isButtonState);
    EventBus::defaultCenter().post(Events::refRemoveButtonState, &node);
}

void FileSystemBrowserModel::setObjectValue(FSNode& node, bool value) {
    node.state = value ? 1 : 0;
    updateAncestors(node.father);
    passStateToChildren(node, value ? 1 : 0);
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
        if (item->isButtonState == 1) {
            collected.push_back(item);
        } else if (item->isButtonState == 2) {
            stack.emplace_back(item, 0);
        }
    }
    return collected;
}

FileSystemBrowserModel::RemovalResult FileSystemBrowserModel::removeCheckedItems(
    FSNode& root, const std::function<bool(const std::string&)>& remove) {
    RemovalResult result;
    std::vector<FSNode*> collected = collectCheckedNodes(root);
    // Removed nodes stay alive until the states have been updated from them.
    std::vector<std::unique_ptr<FSNode>> removedNodes;
    for (auto it = collected.rbegin(); it != collected.rend(); ++it) {
        FSNode* node = *it;
        std::string path = node->path();
        if (!remove(path)) {
            result.failedPaths.push_back(path);
            continue;
        }
        ++result.removed;
        FSNode* father = node->father;
        if (!father) continue;
        auto& siblings = father->children;
        auto entry = std::find_if(siblings.begin(), siblings.end(),
                                  [node](const auto& child) { return child.get() == node; });
        if (entry != siblings.end()) {
            removedNodes.push_back(std::move(*entry));
            siblings.erase(entry);
        }
        for (FSNode* ancestor = father; ancestor; ancestor = ancestor->father) {
            ancestor->size = ancestor->size > node->size ? ancestor->size - node->size : 0;
        }
    }
    // From each item's folder upwards: an item that could not be removed keeps the state the
    // user gave it (worked out from its own items, a file or an emptied folder would lose it).
    for (FSNode* node : collected) updateAncestors(node->father);
    return result;
}

bool FileSystemBrowserModel::removeButtonEnabled(const FSNode* root, bool scanRunning,
                                                 bool rowScanned) {
    if (scanRunning || !rowScanned || !root) return false;
    return std::any_of(root->children.begin(), root->children.end(),
                       [](const auto& child) { return child->isButtonState != 0; });
}
