// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>

#include "diskusage/RingFolderNode.h"
#include "diskusage/TreeScanOptions.h"

namespace quillby {

// Builds the ring chart's folder tree: one node per folder, a folder's size the sum of st_size
// of every non-folder entry below it (or, with the options' allocated sizes, the blocks taken,
// see ScanScope). Links are never followed (a link counts its own size), every hard link counts
// in full in apparent sizes, names ending in "." are skipped, and a folder named "Volumes"
// directly in the scanned folder is skipped. Children are sorted largest first, equal sizes by
// name. Folders that cannot be opened count as empty; excluded folders are marked and not read.
class FolderTreeScanner {
  public:
    explicit FolderTreeScanner(TreeScanOptions options = {});

    // Fills `node` from the folder at `path` (ending in "/") and returns its total. At the top
    // level it publishes "GetDirTotalLevel" with {"DirLevels": the number of subfolders that
    // will be scanned (std::int64_t)} before descending, and "NeedUpdateProgress" after each of
    // them is finished, one at a time. Once the cancel flag or the shared stop flag is set,
    // folders not yet begun measure 0 and are left without children.
    std::int64_t scanFolder(RingFolderNode& node, const std::string& path, bool topLevel);

  private:
    TreeScanOptions options_;
};

}  // namespace quillby
