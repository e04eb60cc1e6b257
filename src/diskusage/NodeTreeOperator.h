// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "diskusage/FSNode.h"
#include "diskusage/ItemTreeBuilder.h"
#include "diskusage/TreeScanOptions.h"

namespace quillby {

// Builds the column browser's item tree: a node per folder and per file at or above the size
// limit. Items below the limit are dropped from the tree but their bytes still count in their
// folder. Links are never followed and count their own size; hidden entries count like any
// other. One operator per scan.
class NodeTreeOperator {
  public:
    // Progress of a browser scan: the number of top-level folders, then one step as each of
    // them is finished (called on the scan's threads, one at a time).
    using Progress = ItemTreeBuilder::Progress;

    explicit NodeTreeOperator(TreeScanOptions options = {});

    // Adds the items of the folder at `path` that reach `limit` to `root`'s children (the
    // subtree of each kept folder below it) and returns the total size of everything under the
    // path, kept or dropped. A path that is not a folder adds one node for itself when its size
    // reaches the limit and returns that size, else 0. Returns 0 when the options' stop is
    // requested; once it is, folders not yet begun measure 0.
    std::uint64_t getFirstListTree(const std::string& path, FSNode& root, std::uint64_t limit);

    // The browser's whole tree for the folder at `path`: a root node holding every top-level
    // item that reaches `limit`, with the total of everything under the path as its size,
    // sorted largest first all the way down.
    std::unique_ptr<FSNode> buildBrowserTree(const std::string& path, std::uint64_t limit,
                                             const Progress& progress);

  private:
    std::uint64_t scan(const std::string& path, FSNode& root, std::uint64_t limit,
                       const Progress* progress);

    TreeScanOptions options_;
};

}  // namespace quillby
