// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "diskusage/ScanFileEntry.h"

namespace quillby {

class FSNode;
class RingFolderNode;

// Writes a finished tree to a scan file as it stands, without scanning again: every folder the
// tree holds and every file it keeps by name. What a folder's size counts beyond those (the files
// the tree does not keep) is written as one file named kOtherFilesName, so the file reads back
// into the same sizes. Folders are written depth first without recursion. False when a write
// failed (errno set).
inline constexpr const char* kOtherFilesName = "(other files)";

bool writeScanTree(const RingFolderNode& root, const ScanFileMetadata& metadata, int fd);
bool writeScanTree(const FSNode& root, const ScanFileMetadata& metadata, int fd);

}  // namespace quillby
