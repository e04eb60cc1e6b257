// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <sys/stat.h>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace quillby {

// One file of the highlights: where it is, its size in the scan's measure and its last change.
struct FileHighlight {
    std::string path;
    std::uint64_t size = 0;
    std::int64_t modified = 0;  // seconds since the epoch
    std::int64_t modifiedNanos = 0;
    dev_t device = 0;
    ino_t inode = 0;
    bool operator==(const FileHighlight&) const = default;
};

// The largest, newest and oldest files, each list best first (equal keys by path).
struct FileHighlightLists {
    std::vector<FileHighlight> largest;
    std::vector<FileHighlight> newest;
    std::vector<FileHighlight> oldest;
};

// Gathers the N largest, newest and oldest regular files a walk measures, as it measures them:
// each walk thread keeps its own bounded lists (no lock, memory O(N) per thread), and a file
// needs its path only when it enters one. A file with several names is listed once, at the
// name first in path order. Sizes are the measure's: st_size, or st_blocks × 512 when
// `allocated`.
class FileHighlights {
  public:
    FileHighlights(std::size_t count, bool allocated);
    FileHighlights(const FileHighlights&) = delete;
    FileHighlights& operator=(const FileHighlights&) = delete;

    // Makes room for the walk's threads, before the walk starts.
    void prepare(unsigned workers);
    // The merged lists, once the walk is over.
    FileHighlightLists lists() const;

    // What one walk thread sees of one folder. `folderPath` is asked at most once, for the
    // first of its files that enters a list.
    class Folder {
      public:
        Folder(FileHighlights& owner, unsigned worker, std::function<std::string()> folderPath);
        // A measured entry of the folder; only regular files count.
        void offer(std::string_view name, const struct stat& status);

      private:
        FileHighlights& owner_;
        unsigned worker_;
        std::function<std::string()> folderPath_;
        std::string path_;
        bool known_ = false;
    };

  private:
    enum class Kind { Largest, Newest, Oldest };
    static constexpr int kKinds = 3;
    // One bounded list: a heap whose front is the entry that leaves first.
    struct Ranking {
        std::vector<FileHighlight> heap;
    };
    struct Shard {
        Ranking rankings[kKinds];
    };
    static bool better(Kind kind, const FileHighlight& a, const FileHighlight& b);
    static int compareKeys(Kind kind, const FileHighlight& a, const FileHighlight& b);
    // Whether `candidate` (path not yet known) may enter: false when the list is full and its
    // key is worse than the one that would leave.
    bool mayEnter(Kind kind, const Ranking& ranking, const FileHighlight& candidate) const;
    void add(Kind kind, Ranking& ranking, const FileHighlight& entry, bool linked) const;

    std::size_t count_;
    bool allocated_;
    std::vector<Shard> shards_;
};

}  // namespace quillby
