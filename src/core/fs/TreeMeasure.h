// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "core/fs/EntryJudge.h"
#include "core/fs/FolderHandle.h"

namespace quillby {

// Bytes and entries found by a measuring walk.
struct TreeTotals {
    std::uint64_t bytes = 0;    // logical sizes of everything but folders
    std::uint64_t entries = 0;  // files, links and folders counted
};

// The recursive size walk: sums the logical sizes of every entry that is not a folder (a link
// counts as itself and is never followed; folders add nothing of their own). A folder that
// cannot be read adds 0. With a judge, only what the judge lets go is counted. A large tree is
// shared out among helper threads; the totals are the same as a walk on one thread.
class TreeMeasure {
  public:
    struct Options {
        const EntryJudge* judge = nullptr;  // none: everything counts
        bool sameFileSystem = false;        // do not enter mounts (what a clean would not reach)
        // Read at every folder (from any of the walk's threads); a stopped folder adds 0.
        std::function<bool()> shouldStop;
        bool stopAtEveryEntry = false;  // read it before every entry too
        unsigned threads = 1;           // at most this many threads walk at once
    };

    explicit TreeMeasure(Options options);
    ~TreeMeasure();

    // The number of threads the machine runs at once (at least 1): the usual `threads`.
    static unsigned machineThreads();

    // The item at `path` (not following it when it is a link). A folder's entries are counted,
    // the folder itself is not.
    TreeTotals measurePath(const std::string& path);
    // The entry `name` of `parent`, which its judge gave `verdict` at `depth`: its own size, or
    // for a folder what it holds (entries counted without the folder itself).
    TreeTotals measureEntry(const FolderHandle& parent, const char* name, EntryKind kind,
                            std::uint64_t size, EntryVerdict verdict, int depth);
    // True once the stop request was seen; the totals are then partial.
    bool stopped() const { return stopped_; }

  private:
    class Crew;

    TreeTotals measureTop(FolderHandle folder, EntryVerdict verdict, int depth);
    void measureFolder(const FolderHandle& folder, EntryVerdict verdict, int depth,
                       TreeTotals& totals);
    bool checkStop();

    Options options_;
    std::atomic<bool> stopped_{false};
    unsigned foldersSeen_ = 0;  // by the calling thread, before the crew starts
    std::unique_ptr<Crew> crew_;
};

}  // namespace quillby
