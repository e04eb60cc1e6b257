// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <sys/types.h>
#include <cstdint>
#include <optional>

namespace quillby {

// What a folder walk needs to know about one entry, read without following a link.
enum class EntryKind { Directory, Symlink, Regular, Other };

struct EntryStatus {
    EntryKind kind = EntryKind::Other;
    std::uint64_t size = 0;  // the entry's own logical size (a link's is its target text)
    mode_t mode = 0;
    uid_t owner = 0;
    dev_t device = 0;
    std::uint64_t inode = 0;
    std::uint32_t linkCount = 0;  // the number of names the entry has
    bool isMountRoot = false;     // the root of a mount (also of a bind mount of the same disk)
};

// The status of `name` inside the open folder `folderFd`, or of the folder itself when name is
// "". Nothing when it cannot be read; errno then tells why.
std::optional<EntryStatus> entryStatusAt(int folderFd, const char* name);

// True when the open `fd` lies on a file system the kernel makes up (proc, sysfs, cgroup,
// debugfs, ...): reading its files can be slow, endless or have effects (/proc/kcore claims the
// size of the address space), and it holds neither disk space nor user data.
bool isKernelFileSystem(int fd);

// The kind a directory listing reports (DT_*), or nothing when the listing does not know it.
std::optional<EntryKind> entryKindFromListing(unsigned char direntType);

}  // namespace quillby
