// SPDX-License-Identifier: GPL-3.0-or-later
#include "diskusage/FolderTreeBuilder.h"

#include <algorithm>

#include "core/events/EventBus.h"
#include "core/events/Events.h"

namespace quillby {

EntryRules FolderTreeBuilder::rules() {
    EntryRules rules;
    rules.skipTrailingPeriod = true;
    rules.skipVolumesAtTop = true;
    return rules;
}

void FolderTreeBuilder::addFolders(Node& parent, const std::vector<std::string_view>& names,
                                   std::vector<Node*>& out) {
    // Folders may come one at a time (a scan file read back): reserving the exact size each
    // time would copy the list on every call.
    if (names.size() > 1) parent.children.reserve(parent.children.size() + names.size());
    for (std::string_view name : names) {
        parent.children.push_back(parent.makeChild(name));
        out.push_back(parent.children.back().get());
    }
}

void FolderTreeBuilder::finish(Node& node, std::uint64_t fileBytes, std::vector<KeptFile>&&) {
    std::uint64_t total = fileBytes;
    for (const auto& child : node.children) {
        if (child) total += static_cast<std::uint64_t>(child->size);
    }
    node.size = static_cast<std::int64_t>(total);
    if (node.sortFlag == 1) std::sort(node.children.begin(), node.children.end(), isLargerFolder);
}

void FolderTreeBuilder::topLevelCounted(std::int64_t folders) {
    EventBus::defaultCenter().post(Events::GetDirTotalLevel, {}, {{EventKeys::DirLevels, folders}});
}

void FolderTreeBuilder::topLevelFolderFinished() {
    // Observers see one step at a time, as from a single worker.
    std::lock_guard lock(progressMutex_);
    EventBus::defaultCenter().post(Events::NeedUpdateProgress);
}

}  // namespace quillby
