// SPDX-License-Identifier: GPL-3.0-or-later
#include "diskusage/DiscoverModel.h"

#include <algorithm>

#include "core/fs/PathRules.h"

namespace quillby {

namespace {

std::vector<DiskUsageItem> itemsOf(const std::vector<FileHighlight>& files) {
    std::vector<DiskUsageItem> items;
    items.reserve(files.size());
    for (const auto& file : files) {
        auto item =
            DiskUsageItem::make(std::string(folderName(file.path)), file.path, file.size, false);
        item.modified = file.modified;
        items.push_back(std::move(item));
    }
    return items;
}

}  // namespace

void DiscoverModel::show(const FileHighlightLists& lists) {
    lists_ = {itemsOf(lists.largest), itemsOf(lists.newest), itemsOf(lists.oldest)};
    changed.set(changed.get() + 1);
}

void DiscoverModel::clear() {
    for (auto& list : lists_) list.clear();
    changed.set(changed.get() + 1);
}

const char* DiscoverModel::title(List list) {
    constexpr const char* titles[] = {"Largest files", "Newest files", "Oldest files"};
    return titles[static_cast<std::size_t>(list)];
}

void DiscoverModel::removalFinished(const std::vector<RemovalOutcome>& results) {
    bool any = false;
    for (const auto& result : results) {
        if (!result.gone()) continue;
        for (auto& list : lists_) {
            any |= std::erase_if(list, [&](const DiskUsageItem& item) {
                       return item.path == result.path || liesInside(item.path, result.path);
                   }) > 0;
        }
    }
    if (any) changed.set(changed.get() + 1);
}

}  // namespace quillby
