// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <filesystem>
#include <stop_token>

namespace quillby {

// File-system questions every tool shares.
class FolderUtilities {
  public:
    // The item's size in bytes: a file's logical size, or for a folder the sum over everything
    // inside it that is not a folder. Links are measured as themselves, never followed; what
    // cannot be read counts 0, and so does a missing path. Reads `stop` at the item and at
    // every folder: a stopped folder measures 0.
    static std::uint64_t sizeOfItemAtPath(const std::filesystem::path& path,
                                          std::stop_token stop = {});

    // The folder a file viewer should show for the item: a folder shows itself, anything else
    // (a file, a link, a missing path) its parent folder.
    static std::filesystem::path getFolderFromFile(const std::filesystem::path& path);
};

}  // namespace quillby
