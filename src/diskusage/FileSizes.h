// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <sys/stat.h>
#include <array>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "diskusage/FileHighlights.h"

namespace quillby {

// A file that a tree keeps as a node of its own: its name in its folder and its size, with the
// facts a scan file records about it.
struct KeptFile {
    std::string name;
    std::uint64_t size = 0;
    std::uint64_t diskBytes = 0;  // the blocks it takes on the disk
    std::uint64_t counted = 0;    // what it adds to its folder in the scan's measure
    std::uint64_t inode = 0;
    std::uint64_t links = 1;
    bool regular = true;  // false for links, devices, pipes and sockets
};

// How one scan counts an entry's bytes: its apparent size (st_size, every hard link in full),
// or the space it takes on the disk (st_blocks * 512, what `du` counts): sparse files at their
// real cost and a file with several names counted once, at the first name the scan meets.
// Shared by the scan's threads; only files with more than one name take the lock.
class SizeMeasure {
  public:
    explicit SizeMeasure(bool allocated) : allocated_(allocated) {}
    SizeMeasure(const SizeMeasure&) = delete;
    SizeMeasure& operator=(const SizeMeasure&) = delete;

    bool allocated() const { return allocated_; }
    // What the entry whose status is `status` adds to its folder: 0 for a further name of a
    // file already counted.
    std::uint64_t bytesOf(const struct stat& status) {
        if (!allocated_) return status.st_size < 0 ? 0 : static_cast<std::uint64_t>(status.st_size);
        std::uint64_t bytes =
            status.st_blocks < 0 ? 0 : static_cast<std::uint64_t>(status.st_blocks) * 512;
        if (status.st_nlink > 1 && !S_ISDIR(status.st_mode) && !firstName(status)) return 0;
        return bytes;
    }

  private:
    struct Identity {
        dev_t device;
        ino_t inode;
        bool operator==(const Identity&) const = default;
    };
    struct IdentityHash {
        std::size_t operator()(const Identity& id) const {
            return std::hash<ino_t>()(id.inode) ^ (std::hash<dev_t>()(id.device) << 1);
        }
    };
    struct Shard {
        std::mutex mutex;
        std::unordered_set<Identity, IdentityHash> seen;
    };
    // True the first time the file is met.
    bool firstName(const struct stat& status);

    bool allocated_;
    std::array<Shard, 16> shards_;
};

// The kept form of the entry `name` whose status is `status`, counting `counted` bytes.
KeptFile keptFile(std::string_view name, const struct stat& status, std::uint64_t counted);

// Measures the named entries of the folder open at `folderFd` without following links
// (fstatat with AT_SYMLINK_NOFOLLOW) and returns the sum of their bytes in `measure`; entries
// that cannot be measured are left out. Each name must be followed by a NUL in memory. Files
// counting at least `keepFrom` bytes are appended to `kept` when a threshold is given, and
// every measured entry is offered to `seen` when given.
std::uint64_t sumFileSizes(int folderFd, const std::vector<std::string_view>& names,
                           SizeMeasure& measure, std::optional<std::uint64_t> keepFrom,
                           std::vector<KeptFile>& kept, FileHighlights::Folder* seen = nullptr);

// The status of one entry of the folder open at `folderFd` (links not followed), or nothing
// when it cannot be measured.
std::optional<struct stat> entryStatus(int folderFd, const char* name);

// The size of one entry of the folder open at `folderFd` (st_size, links not followed), or
// nothing when it cannot be measured; `isFolder` tells whether it is a folder.
std::optional<std::uint64_t> entrySize(int folderFd, const char* name, bool* isFolder);

// The size of an entry's status: st_size, never negative.
inline std::uint64_t sizeOfStatus(const struct stat& status) {
    return status.st_size < 0 ? 0 : static_cast<std::uint64_t>(status.st_size);
}

}  // namespace quillby
