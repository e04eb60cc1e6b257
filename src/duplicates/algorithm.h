// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "duplicates/CandidateFile.h"
#include "duplicates/FileContentReader.h"

namespace quillby {

// The checksum and pairing steps of the duplicate search, one file at a time. Owns one read
// buffer; use one per thread.
class algorithm {
  public:
    // Computes the checksum of the item's first 1024 bytes (its whole content when shorter)
    // into md5_1k. False, logged, when the file cannot be opened or read.
    bool getMD5_1K(CandidateFile& item);
    // Computes the checksum of the item's whole content into md5, reading 4 MiB at a time.
    // False, with md5 left at 0, for an empty or unreadable file or a read error midway.
    bool getMD5(CandidateFile& item);

    // The records of `list` with the size of `item`, in list order.
    static void findFileWithSize(const std::vector<CandidateFile*>& list,
                                 std::vector<CandidateFile*>& outArray, const CandidateFile& item);
    // The records of `list` whose two checksums equal those of `item` (computed where missing;
    // records whose checksum fails are left out), in list order.
    void findFileWithMd5(const std::vector<CandidateFile*>& list,
                         std::vector<CandidateFile*>& outArray, const CandidateFile& item);
    // Pairs `item` with the remaining records: appends to `result` the records with the same
    // content, in list order, then `item` itself. False when no record has its size or its
    // own checksum fails.
    bool getDuplicateFile(CandidateFile& item, const std::vector<CandidateFile*>& remaining,
                          std::vector<CandidateFile*>& result);

    // The checksums of a symbolic link's text (bundle items only).
    static bool linkChecksums(CandidateFile& item, bool whole);

  private:
    // One file at a time, with the kernel reading ahead: a larger buffer reads no faster, and
    // its pages would stay in memory after a large file.
    static constexpr std::size_t kBufferSize = 256 * 1024;
    FileContentReader reader_{kBufferSize};
};

}  // namespace quillby
