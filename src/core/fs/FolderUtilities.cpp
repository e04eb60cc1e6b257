// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/fs/FolderUtilities.h"

#include <fcntl.h>

#include "core/fs/EntryStatus.h"
#include "core/fs/TreeMeasure.h"

namespace quillby {

std::uint64_t FolderUtilities::sizeOfItemAtPath(const std::filesystem::path& path,
                                                std::stop_token stop) {
    TreeMeasure walk({.shouldStop = [stop] { return stop.stop_requested(); },
                      .threads = TreeMeasure::machineThreads()});
    return walk.measurePath(path.string()).bytes;
}

std::filesystem::path FolderUtilities::getFolderFromFile(const std::filesystem::path& path) {
    auto status = entryStatusAt(AT_FDCWD, path.c_str());
    if (status && status->kind == EntryKind::Directory) return path;
    return path.parent_path();
}

}  // namespace quillby
