// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <functional>
#include <stop_token>
#include <string>
#include <vector>

namespace quillby {

// How a duplicate search runs.
struct DuplicateSearchOptions {
    bool includeHidden = false;  // items with a path component starting with "."
    bool includeSystem = false;  // the system folders at the top of "/"
    // Folders (by path, known by identity) and name globs the walk leaves out: see WalkExclusions.
    std::vector<std::string> excludes;
    unsigned threadCount = 0;  // 0: WorkStealingPool::defaultThreadCount()
    // Pair the candidates one at a time with algorithm::getDuplicateFile, on one thread: the
    // plain form of the search, which the parallel form must match result for result.
    bool oneFileAtATime = false;
    // A stop requested here ends the search as stopSearch() does, from any thread.
    std::stop_token stop;
    // Told the progress (0 to 100, never going back) and the path being examined whenever
    // either changes, at most ten times a second, and once more when the search ends. It is
    // called on a thread of the search's own; getProgress can still be polled instead.
    std::function<void(std::uint32_t percent, const std::string& path)> onProgress;
};

}  // namespace quillby
