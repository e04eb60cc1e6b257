// SPDX-License-Identifier: GPL-3.0-or-later
#include "duplicates/ContentComparison.h"

#include <algorithm>
#include <cstdint>

#include "core/fs/RemovalOutcome.h"
#include "duplicates/FileContentReader.h"

namespace quillby {

Comparison compareOpenFiles(FileContentReader& a, FileContentReader& b, std::string& detail) {
    if (a.status().st_size != b.status().st_size) {
        detail = "sizes differ";
        return Comparison::Differ;
    }
    for (std::uint64_t offset = 0;;) {
        std::int64_t gotA = a.readChunk();
        std::int64_t gotB = b.readChunk();
        if (gotA < 0 || gotB < 0) {
            detail = "read error: " + failureText(gotA < 0 ? a.error() : b.error());
            return Comparison::Unreadable;
        }
        std::size_t common = static_cast<std::size_t>(std::min(gotA, gotB));
        auto differs = std::mismatch(a.buffer(), a.buffer() + common, b.buffer()).first;
        if (gotA != gotB || differs != a.buffer() + common) {
            detail = "contents differ at byte " +
                     std::to_string(offset + static_cast<std::uint64_t>(differs - a.buffer()));
            return Comparison::Differ;
        }
        if (static_cast<std::size_t>(gotA) < FileContentReader::ChunkSize) return Comparison::Same;
        offset += static_cast<std::uint64_t>(gotA);
    }
}

}  // namespace quillby
