// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/VolumeFacts.h"

namespace quillby {

// One row of the disk-usage tool's path list: the user's home folder, a local volume or the
// folder the user chose.
struct DiskUsageLeftCell {
    std::string pathName;  // the folder the row stands for
    int selectedType = 0;  // 1 for the selected row
    bool isScaned = false;
    bool hidden = false;  // the chosen-folder row until a folder was chosen or dropped
    std::string name;
    std::string icon;
    std::string totalSize;  // size texts; empty when the row has none
    std::string freeSize;
    std::string usedSize;                 // the last scan's total, less what removals took since
    std::uint64_t unreadableFolders = 0;  // folders the last scan could not read

    // The path text shown in the row: its first 12 characters and "..." (15 for the selected
    // row); the whole path is the row's tooltip.
    std::string shownPath() const;

    // The rows of the path list: the user (row 0, named `userName`, the home folder,
    // "home_disk.png"), then every local volume of `volumes` in their order with their names and
    // space, then the chosen-folder row (hidden, no path yet).
    static std::vector<DiskUsageLeftCell> pathList(const std::string& userName,
                                                   const std::string& homeFolder,
                                                   const std::vector<VolumeFacts>& volumes);
};

}  // namespace quillby
