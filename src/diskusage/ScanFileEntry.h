// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace quillby {

// One item of a scan file (the ncdu export format, version 1): a folder's or a file's info.
// Names are bytes, whatever their encoding.
struct ScanFileEntry {
    // The item's own name; the scanned folder's is its whole path.
    std::string_view name;
    std::uint64_t apparentBytes = 0;  // "asize": st_size
    std::uint64_t diskBytes = 0;      // "dsize": the blocks it takes
    std::optional<std::uint64_t> device;
    // For hard-linked files: the inode and the number of links.
    std::uint64_t inode = 0;
    std::uint64_t links = 1;
    bool notRegular = false;  // a link, device, pipe or socket
    bool readError = false;   // a folder that could not be (wholly) read
    // Why the scanner left the item out ("pattern", "otherfs", "kernfs", "frmlnk"), if it did.
    std::string_view excluded;
};

// The file's header: its format version and what wrote it.
struct ScanFileMetadata {
    std::uint64_t majorVersion = 1;
    std::uint64_t minorVersion = 2;
    std::string program;  // "progname"
    std::string version;  // "progver"
    std::optional<std::int64_t> timestamp;
};

// Where a tree came from. An imported tree was read from a scan file and may describe another
// machine: its paths are not to be removed, opened or revealed here.
struct ScanOrigin {
    bool imported = false;
    ScanFileMetadata metadata;  // the file's program, version and timestamp
};

}  // namespace quillby
