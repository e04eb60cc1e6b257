// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstdint>

namespace quillby {

// Ten memory counts in bytes, in a fixed order (see MemoryInfoField); the last is always 0.
using MemoryFigures = std::array<std::uint64_t, 10>;

// The positions of MemoryFigures.
enum MemoryInfoField : std::size_t {
    kMemFree = 0,
    kMemInactive = 1,
    kMemActive = 2,
    kMemWired = 3,
    kMemUsed = 4,  // total - free
    kMemTotal = 5,
    kMemPageIns = 6,
    kMemPageOuts = 7,
    kMemFaults = 8,
    kMemReserved = 9,
};

}  // namespace quillby
