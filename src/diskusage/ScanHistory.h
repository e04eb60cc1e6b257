// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace quillby {

struct PlatformContext;

// The scans kept of each place, so that a later scan can say what grew since: scan files in one
// folder, named by the place's key and the time of the scan, the last few per place, the whole
// folder bounded (the places scanned longest ago go first). A place is a scanned folder in one
// kind of tree and one measure, since only such scans compare.
class ScanHistory {
  public:
    struct Limits {
        std::size_t perPlace = 3;
        std::size_t files = 60;
        std::uint64_t bytes = std::uint64_t{1} << 30;
    };
    struct Kept {
        std::filesystem::path file;
        std::int64_t milliseconds = 0;  // when the scan was kept, since the epoch
        std::uint64_t bytes = 0;
    };

    explicit ScanHistory(std::filesystem::path folder);
    ScanHistory(std::filesystem::path folder, Limits limits);
    // $XDG_CACHE_HOME/com.quillby.pro/scans (~/.cache when the variable is unset or refused);
    // nothing when the home belongs to another user, whose cache is not to be written.
    static std::optional<std::filesystem::path> defaultFolder(const PlatformContext& context);

    // The stable key of a place: a hash of the scanned folder (spelled without a trailing "/"),
    // the tree's kind ("folders", "items") and the measure, then the folder's name made safe for
    // a file name ("3f9a...-Downloads").
    static std::string placeKey(const std::string& root, const std::string& kind);
    // The kind of a scan: the folder tree, or the item tree with its size limit; in allocated
    // sizes or apparent ones.
    static std::string kindOf(std::optional<std::uint64_t> itemLimit, bool allocated);

    // The newest scan kept of the place, if any.
    std::optional<Kept> latest(const std::string& placeKey) const;
    // Keeps a scan of the place written by `write` into a descriptor (false, errno set: give
    // up), at `milliseconds`; the file appears whole or not at all. Then prunes. False when it
    // could not be kept (nothing else changes then); `problems` gets one line per failure,
    // also for an old scan that could not be pruned.
    bool keep(const std::string& placeKey, std::int64_t milliseconds,
              const std::function<bool(int fd)>& write, std::vector<std::string>& problems);
    // Leaves the last `perPlace` scans of each place, then removes whole places, the one scanned
    // longest ago first, while the folder holds more than `files` scans or `bytes`; the newest
    // place always keeps its newest scan. Only files named as kept scans are touched, each
    // through the deletion gate. One line per scan that could not be removed.
    std::vector<std::string> prune();
    // Every kept scan, by place key, each place's newest first.
    std::vector<std::pair<std::string, std::vector<Kept>>> places() const;

  private:
    std::filesystem::path folder_;
    Limits limits_;
};

}  // namespace quillby
