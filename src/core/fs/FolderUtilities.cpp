// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/fs/FolderUtilities.h"

#include <fcntl.h>

#include "core/fs/EntryStatus.h"
#include "core/fs/TreeMeasure.h"
#include "core/work/TaskStopper.h"

namespace quillby {

std::uint64_t FolderUtilities::sizeOfItemAtPath(const std::filesystem::path& path) {
    TreeMeasure walk({.shouldStop = [] { return TaskStopper::sharedTaskStopper().getStopFlags(); },
                      .threads = TreeMeasure::machineThreads()});
    return walk.measurePath(path.string()).bytes;
}

std::filesystem::path FolderUtilities::getFolderFromFile(const std::filesystem::path& path) {
    auto status = entryStatusAt(AT_FDCWD, path.c_str());
    if (status && status->kind == EntryKind::Directory) return path;
    return path.parent_path();
}

}  // namespace quillby
