// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "diskusage/ByteSource.h"
#include "diskusage/FSNode.h"
#include "diskusage/RingFolderNode.h"
#include "diskusage/ScanFileEntry.h"
#include "diskusage/ScanFileReader.h"
#include "diskusage/TreeScanOptions.h"

namespace quillby {

// A tree read from a scan file, or why it could not be read.
template <class Node>
struct LoadedTree {
    std::unique_ptr<Node> root;  // null unless outcome is Read
    ScanOrigin origin;
    std::uint64_t unreadableFolders = 0;  // folders the file marks "read_error"
    ScanFileReader::Outcome outcome = ScanFileReader::Outcome::Read;
    std::string message;  // one line when the file was refused or could not be read
    int readError = 0;
};

// How a scan file is loaded.
struct ScanFileLoadOptions {
    // Asked every few thousand items; true stops the loading (outcome Stopped).
    std::function<bool()> shouldStop;
    // Folders, files and bytes read so far, for a display that polls them.
    ScanCounters* counters = nullptr;
    ScanFileLimits limits;
};

// Reads scan files (ours, ncdu's or gdu's) into the disk-usage trees exactly as a scan of the
// same folder builds them: sizes are the items' "asize" (st_size; folders' own sizes are not
// counted, every hard link counts in full) and each tree's own rules and builder apply. The
// trees come back marked imported.
class ScanFileLoader {
  public:
    // The ring chart's folder tree (FolderTreeScanner's).
    static LoadedTree<RingFolderNode> loadFolderTree(ByteSource& source,
                                                     const ScanFileLoadOptions& options = {});
    // The column browser's item tree for `limit` (NodeTreeOperator::buildBrowserTree's).
    static LoadedTree<FSNode> loadItemTree(ByteSource& source, std::uint64_t limit,
                                           const ScanFileLoadOptions& options = {});
    // The same from the file at `path`; a file that cannot be opened gives ReadFailed.
    static LoadedTree<RingFolderNode> loadFolderTree(const std::string& path,
                                                     const ScanFileLoadOptions& options = {});
    static LoadedTree<FSNode> loadItemTree(const std::string& path, std::uint64_t limit,
                                           const ScanFileLoadOptions& options = {});
};

}  // namespace quillby
