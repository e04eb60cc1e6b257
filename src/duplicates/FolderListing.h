// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <sys/stat.h>
#include <sys/types.h>
#include <cstdint>
#include <string>
#include <vector>

#include "core/fs/EntryStatus.h"
#include "duplicates/SimpleNodeData.h"

namespace quillby {

// One entry of a listed folder, its kind read without following links. A folder entry carries
// only its name and kind unless its identity was asked for: its own attributes are read when it
// is listed itself.
struct ListedEntry {
    std::string name;  // the last path component: a walk holds every entry of a large tree
    EntryKind kind = EntryKind::Other;
    bool vanished = false;  // gone between the listing and the attribute read
    std::uint64_t size = 0;
    SimpleNodeData::Date modified{};
    dev_t device = 0;
    ino_t inode = 0;
};

// One folder's listing.
struct FolderContents {
    struct stat self {};            // the folder's own attributes
    bool kernelFileSystem = false;  // a proc, sysfs or similar mount: no user files there
    std::vector<ListedEntry> entries;
    int error = 0;  // errno when the listing failed
};

// Lists a folder: every entry but "." and ".." in the order the file system gives them, each
// with its kind, size and modification date read without following links. A link at `path`
// itself is followed only when `followLink` is set. When the folder's device differs from
// `parentDevice` its file-system type is checked for kernel pseudo file systems. With
// `folderIdentities` folder entries get their device and inode too (one more read each). False
// (with `error` set) when the folder cannot be opened or read.
bool listFolder(const std::string& path, bool followLink, dev_t parentDevice,
                FolderContents& contents, bool folderIdentities = false);

SimpleNodeData::Date modificationDateOf(const struct stat& status);

}  // namespace quillby
