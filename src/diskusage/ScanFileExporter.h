// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>

#include "diskusage/ScanFileEntry.h"
#include "diskusage/TreeScanOptions.h"

namespace quillby {

// Scans a folder and writes everything in it to a scan file: every folder and every file with
// its sizes, links not followed, hard links marked, unreadable folders marked "read_error".
// Nothing is left out, so each tree applies its own rules when the file is read back.
//
// The walk is the trees' parallel scan; each folder's files are written out as text by the
// thread that finishes the folder, and the folders are then written depth first, each one's
// memory released as soon as it is out. Items cannot go out in file order while the folders are
// still being read in parallel.
class ScanFileExporter {
  public:
    explicit ScanFileExporter(TreeScanOptions options = {});

    struct Result {
        bool written = false;  // false: a write failed, `writeError` says why
        int writeError = 0;
        std::uint64_t bytes = 0;  // the sum of every file's size
    };

    // Scans the folder at `path` (absolute) and writes it to `fd` with `metadata`'s program,
    // version and timestamp.
    Result exportFolder(const std::string& path, const ScanFileMetadata& metadata, int fd);

  private:
    TreeScanOptions options_;
};

}  // namespace quillby
