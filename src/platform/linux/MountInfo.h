// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace quillby {

// One line of /proc/<pid>/mountinfo, with its escaped paths decoded.
struct MountEntry {
    std::int32_t mountId = 0;  // unique among the mounts of the system while mounted
    std::int32_t parentId = 0;
    unsigned major = 0;
    unsigned minor = 0;
    std::string root;        // the folder of the file system that is mounted ("/" for all of it)
    std::string mountPoint;  // where it is mounted
    std::string fileSystemType;
    std::string source;  // "/dev/sdb1", "server:/export", "tmpfs", ...
};

// Parses a mountinfo text; malformed lines are skipped.
std::vector<MountEntry> parseMountInfo(std::string_view text);

// Decodes the octal escapes the kernel writes for blanks, tabs, newlines and backslashes
// ("My\040Disk" is "My Disk").
std::string decodeMountField(std::string_view field);

}  // namespace quillby
