// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "duplicates/PathComponents.h"
#include "duplicates/SimpleNodeData.h"

namespace quillby {

// One candidate file of the duplicate search with its two checksums (0 = not computed yet).
// The checksum fields are md5 and md5_1k, the names the pairing code reads them by; they
// hold CRC-64 values (see crc.h).
struct CandidateFile {
    std::string filePathName;    // absolute path
    std::uint64_t fileSize = 0;  // from the file's attributes when it was listed
    std::uint64_t md5 = 0;       // checksum of the whole content
    std::uint64_t md5_1k = 0;    // checksum of the first 1024 bytes
    SimpleNodeData::Date ModificationDate{};
    // An item inside an application bundle that is a symbolic link: its content is the link's
    // text, never the file it points to.
    bool isSymbolicLink = false;

    // The last path component, read from the path: a search holds every listed file, and a
    // copy of each name would make every record nearly half as large again.
    std::string_view fileName() const { return lastPathComponent(filePathName); }
};

}  // namespace quillby
