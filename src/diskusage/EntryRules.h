// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "diskusage/FileSizes.h"

namespace quillby {

class DirectoryReader;

// Which entries of a folder a tree takes in, and how a listing splits into subfolders to
// descend and files to measure.
struct EntryRules {
    // Names ending in "." are left out entirely (the ring chart's tree).
    bool skipTrailingPeriod = false;
    // A folder named "Volumes" directly in the scanned folder is left out.
    bool skipVolumesAtTop = false;
    // Files of at least this size are kept by name (the column browser's tree).
    std::optional<std::uint64_t> keepFilesFrom;

    // Whether an entry named `name` takes part; `atTop` is true in the scanned folder itself.
    bool accepts(std::string_view name, bool isFolder, bool atTop) const;

    // The accepted entries of one listing. Entries whose type the listing does not report are
    // measured at once (in `measure`) to learn whether they are folders; their sizes are already
    // in `bytes`, and they are offered to `seen` when given.
    struct Split {
        std::vector<std::string_view> subfolders;
        std::vector<std::string_view> files;
        std::uint64_t bytes = 0;
        std::vector<KeptFile> kept;
    };
    void split(int folderFd, const DirectoryReader& listing, bool atTop, SizeMeasure& measure,
               Split& out, FileHighlights::Folder* seen = nullptr) const;
};

}  // namespace quillby
