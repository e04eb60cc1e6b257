// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>

namespace quillby {

// One item of the disk-usage lists (the ring page's list and its selection): name, path, size
// text and the exact byte count it was made from. Pages fetch the icon from the path
// themselves.
struct DiskUsageItem {
    std::string name;
    std::string path;
    std::string size;  // as UtilityFunction::convertVolSpace gives it
    std::uint64_t fileSizeNum = 0;
    bool isDirectory = false;

    // An item for `path` named `name` with `bytes`, its size text made from them.
    static DiskUsageItem make(std::string name, std::string path, std::uint64_t bytes,
                              bool isDirectory);
    // True when `a` goes before `b` in a list sorted largest first by the size texts read back
    // (compareBySize:); equal sizes by name.
    static bool compareBySize(const DiskUsageItem& a, const DiskUsageItem& b);
};

}  // namespace quillby
