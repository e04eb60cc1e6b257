// SPDX-License-Identifier: GPL-3.0-or-later
#include "diskusage/DiskUsageItem.h"

#include "core/text/UtilityFunction.h"

namespace quillby {

DiskUsageItem DiskUsageItem::make(std::string name, std::string path, std::uint64_t bytes,
                                  bool isDirectory) {
    DiskUsageItem item;
    item.name = std::move(name);
    item.path = std::move(path);
    item.size = UtilityFunction::convertVolSpace(bytes);
    item.fileSizeNum = bytes;
    item.isDirectory = isDirectory;
    return item;
}

bool DiskUsageItem::compareBySize(const DiskUsageItem& a, const DiskUsageItem& b) {
    std::uint64_t left = UtilityFunction::getVolSpaceFromString(a.size);
    std::uint64_t right = UtilityFunction::getVolSpaceFromString(b.size);
    if (left != right) return left > right;
    return a.name < b.name;
}

std::string unreadableFoldersText(std::uint64_t count) {
    if (count == 0) return {};
    bool one = count == 1;
    return std::to_string(count) + (one ? " folder" : " folders") +
           " could not be read: the sizes that contain " + (one ? "it" : "them") +
           " may be too small.";
}

}  // namespace quillby
