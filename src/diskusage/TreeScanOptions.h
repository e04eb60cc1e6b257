#pragma once

#include <atomic>
#include <cstdint>

// Running totals of a scan, for a progress display that polls them from another thread.
struct ScanCounters {
    std::atomic<std::uint64_t> folders{0};
    std::atomic<std::uint64_t> files{0};
    std::atomic<std::uint64_t> bytes{0};
};

// How a tree scan runs.
struct TreeScanOptions {
    // Worker threads; 0 picks WorkStealingPool::defaultThreadCount().
    unsigned threads = 0;
    // Read at every folder together with the shared stop flag; once either is set, folders
    // not yet begun measure 0.
    const std::atomic<bool>* cancelFlag = nullptr;
    // Folders on another file system than the scanned folder count as empty.
    bool stayOnFileSystem = false;
    // Updated as folders are read, when given.
    ScanCounters* counters = nullptr;
};
