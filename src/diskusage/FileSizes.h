// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <sys/stat.h>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quillby {

// A file that a tree keeps as a node of its own: its name in its folder and its size, with the
// facts a scan file records about it.
struct KeptFile {
    std::string name;
    std::uint64_t size = 0;
    std::uint64_t diskBytes = 0;  // the blocks it takes on the disk
    std::uint64_t inode = 0;
    std::uint64_t links = 1;
    bool regular = true;  // false for links, devices, pipes and sockets
};

// The kept form of the entry `name` whose status is `status`.
KeptFile keptFile(std::string_view name, const struct stat& status);

// Measures the named entries of the folder open at `folderFd` without following links
// (fstatat with AT_SYMLINK_NOFOLLOW) and returns the sum of their st_size; entries that cannot
// be measured are left out. Each name must be followed by a NUL in memory. Files of at least
// `keepFrom` bytes are appended to `kept` when a threshold is given.
std::uint64_t sumFileSizes(int folderFd, const std::vector<std::string_view>& names,
                           std::optional<std::uint64_t> keepFrom, std::vector<KeptFile>& kept);

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
