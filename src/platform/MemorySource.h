// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

namespace quillby {

// The machine's memory figures in bytes, as the platform counts them.
struct MemoryCounts {
    std::uint64_t free = 0;
    std::uint64_t inactive = 0;
    std::uint64_t active = 0;
    std::uint64_t wired = 0;  // memory the system keeps for itself and never pages out
    std::uint64_t total = 0;
    std::uint64_t pageIns = 0;
    std::uint64_t pageOuts = 0;
    std::uint64_t faults = 0;
};

// Samples the memory figures.
class MemorySource {
  public:
    virtual ~MemorySource() = default;
    // 0 and the figures, or an error number with `counts` untouched.
    virtual int sample(MemoryCounts& counts) = 0;
};

}  // namespace quillby
