#pragma once

#include <stop_token>

// How a duplicate search runs.
struct DuplicateSearchOptions {
    bool includeHidden = false;  // items with a path component starting with "."
    bool includeSystem = false;  // the system folders at the top of "/"
    unsigned threadCount = 0;    // 0: WorkStealingPool::defaultThreadCount()
    // Pair the candidates one at a time with algorithm::getDuplicateFile, on one thread: the
    // plain form of the search, which the parallel form must match result for result.
    bool oneFileAtATime = false;
    // A stop requested here ends the search as stopSearch() does, from any thread. The progress
    // is polled (getProgress, the current path).
    std::stop_token stop;
};
