// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <sys/types.h>
#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "core/fs/FolderIdentities.h"

namespace quillby {

class FileHighlights;

// Running totals of a scan, for a progress display that polls them from another thread.
struct ScanCounters {
    std::atomic<std::uint64_t> folders{0};
    std::atomic<std::uint64_t> files{0};
    std::atomic<std::uint64_t> bytes{0};
    std::atomic<std::uint64_t> unreadableFolders{0};  // could not be opened or read
};

// What a scan counts: the measure of sizes and the folders it never reads.
struct ScanScope {
    // Sizes are the blocks taken on the disk (st_blocks * 512, each file with several names
    // once, folders' own blocks too), as `du -sB1` counts; else st_size of the non-folders.
    bool allocatedSize = false;
    // Folders not read, whatever path reaches them: marked excluded, measuring 0.
    FolderIdentities excludedFolders;

    // The disk-usage page's scope: "DiskUsageAllocatedSize" and the folders of
    // "DiskUsageExcludes" that exist.
    static ScanScope fromSettings();
};

// How a tree scan runs.
struct TreeScanOptions {
    // Worker threads; 0 picks WorkStealingPool::defaultThreadCount().
    unsigned threads = 0;
    // Asked at every folder; once it answers true, folders not yet begun measure 0. Empty never
    // stops.
    std::function<bool()> shouldStop;
    // Folders on another file system than the scanned folder count as empty.
    bool stayOnFileSystem = false;
    // The progress: updated as folders are read, for a display that polls them, when given.
    ScanCounters* counters = nullptr;
    ScanScope scope;
    // Hears of every regular file measured (the largest, newest and oldest), when given.
    FileHighlights* highlights = nullptr;
};

}  // namespace quillby
