// SPDX-License-Identifier: GPL-3.0-or-later
#include "diskusage/ItemTreeBuilder.h"

#include <algorithm>

namespace quillby {

EntryRules ItemTreeBuilder::rules(std::uint64_t limit) {
    EntryRules rules;
    rules.keepFilesFrom = limit;
    return rules;
}

void ItemTreeBuilder::addFolders(Node& parent, const std::vector<std::string_view>& names,
                                 std::vector<Node*>& out) {
    // Folders may come one at a time (a scan file read back): reserving the exact size each
    // time would copy the list on every call.
    if (names.size() > 1) parent.children.reserve(parent.children.size() + names.size());
    for (std::string_view name : names) {
        parent.children.push_back(FSNode::childNamed(name, true, &parent));
        out.push_back(parent.children.back().get());
    }
}

void ItemTreeBuilder::finish(Node& node, std::uint64_t fileBytes, std::vector<KeptFile>&& files) {
    std::uint64_t total = fileBytes;
    for (const auto& child : node.children) total += child->size;
    node.size = total;
    std::erase_if(node.children, [this](const auto& child) {
        return child->size < limit_ && !child->unreadable && !child->excluded;
    });
    for (auto& file : files) {
        node.children.push_back(FSNode::childNamed(file.name, false, &node));
        node.children.back()->size = file.counted;
    }
    std::sort(node.children.begin(), node.children.end(),
              [](const auto& a, const auto& b) { return FSNode::compareSize(*a, *b); });
}

void ItemTreeBuilder::topLevelCounted(std::int64_t folders) {
    if (progress_ && progress_->total) progress_->total(folders);
}

void ItemTreeBuilder::topLevelFolderFinished() {
    std::lock_guard lock(progressMutex_);
    if (progress_ && progress_->step) progress_->step();
}

}  // namespace quillby
