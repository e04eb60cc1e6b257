#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// A file that a tree keeps as a node of its own: its name in its folder and its size.
struct KeptFile {
    std::string name;
    std::uint64_t size = 0;
};

// Measures the named entries of the folder open at `folderFd` without following links
// (fstatat with AT_SYMLINK_NOFOLLOW) and returns the sum of their st_size; entries that cannot
// be measured are left out. Each name must be followed by a NUL in memory. Files of at least
// `keepFrom` bytes are appended to `kept` when a threshold is given.
std::uint64_t sumFileSizes(int folderFd, const std::vector<std::string_view>& names,
                           std::optional<std::uint64_t> keepFrom, std::vector<KeptFile>& kept);

// The size of one entry of the folder open at `folderFd` (st_size, links not followed), or
// nothing when it cannot be measured; `isFolder` tells whether it is a folder.
std::optional<std::uint64_t> entrySize(int folderFd, const char* name, bool* isFolder);
