// SPDX-License-Identifier: GPL-3.0-or-later
#include "diskusage/FolderTreeScanner.h"

#include "diskusage/FolderTreeBuilder.h"
#include "diskusage/TreeScan.h"

namespace quillby {

FolderTreeScanner::FolderTreeScanner(TreeScanOptions options) : options_(options) {}

std::int64_t FolderTreeScanner::scanFolder(RingFolderNode& node, const std::string& path,
                                           bool topLevel) {
    EntryRules rules = FolderTreeBuilder::rules();
    FolderTreeBuilder builder;
    TreeScan<FolderTreeBuilder> scan(builder, rules, options_);
    return static_cast<std::int64_t>(scan.run(node, path, topLevel));
}

}  // namespace quillby
