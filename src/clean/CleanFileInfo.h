// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>

namespace quillby {

// One listed item of a clean list (a cleanable entry of a category folder) with its size and
// check state.
struct CleanFileInfo {
    std::string icon;  // a desktop icon-theme name for the entry's kind (display only)
    std::string name;  // the entry's own name
    std::string path;  // its absolute path
    std::uint64_t count = 0;
    std::string size;  // the size text of fileSizeNum
    std::uint64_t fileSizeNum = 0;
    bool bIsSelected = false;
    // Which of its list's category folders it was found in (-1: not known): a clean takes the
    // item back to that folder's rule, since folders of one category may hold one another.
    int folderIndex = -1;
    // Which of its list's package-tool sources it came from (-1: a file of a category folder):
    // such an item is removed through its tool, and its path is the source's key for it.
    int toolIndex = -1;
    // A package tool's item: what it is, in words people know (its key means nothing to them).
    std::string description;

    CleanFileInfo() = default;
    // A record of an item, not checked.
    CleanFileInfo(std::string icon, std::string name, std::string path, std::string size,
                  std::uint64_t fileSizeNum);

    // The line shown with the item's name: its path, or for a package tool's item its
    // description.
    const std::string& detailLine() const { return toolIndex >= 0 ? description : path; }
    // True when this record's size text reads back larger than the other's (larger first).
    bool compareBySize(const CleanFileInfo& other) const;
};

}  // namespace quillby
