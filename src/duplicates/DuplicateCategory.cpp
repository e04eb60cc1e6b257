// SPDX-License-Identifier: GPL-3.0-or-later
#include "duplicates/DuplicateCategory.h"

#include <algorithm>
#include <cctype>
#include <string>

#include "core/fs/FileKind.h"

namespace quillby {

namespace {

// The extension lists are the file kinds' (core/fs/FileKind.h), shared with disk usage.
const DuplicateCategory kCategories[DuplicateCategoryCount] = {
    {0, "All", "all.png", 0, {}},
    {1, "Documents", "document.png", 1, fileKindExtensions(FileKind::Document)},
    {2, "Videos", "television.png", 3, fileKindExtensions(FileKind::Video)},
    {3, "Music", "music.png", 2, fileKindExtensions(FileKind::Audio)},
    {4, "Archives", "zip.png", 4, fileKindExtensions(FileKind::Archive)},
    {5, "Pictures", "picture.png", 5, fileKindExtensions(FileKind::Image)},
    {6, "Others", "other.png", 6, {}},
};

}  // namespace

std::span<const DuplicateCategory> duplicateCategories() {
    return kCategories;
}

std::array<int, 6> duplicateCategorySortingOrder() {
    return {1, 3, 2, 4, 5, 6};
}

bool duplicateCategoryTakes(int row, std::string_view extension) {
    if (row == 6) return true;
    if (row < 1 || row > 5) return false;
    std::string lower(extension);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    const auto& list = kCategories[row].extensions;
    return std::find(list.begin(), list.end(), lower) != list.end();
}

}  // namespace quillby
