// SPDX-License-Identifier: GPL-3.0-or-later
#include "diskusage/SizeColour.h"

namespace quillby {

SizeColour sizeColourFor(std::uint64_t bytes) {
    if (bytes <= 1000ULL) return SizeColour::White;
    if (bytes <= 1000000ULL) return SizeColour::Green;
    if (bytes <= 999999999ULL) return SizeColour::Yellow;
    if (bytes <= 999999999999ULL) return SizeColour::Orange;
    return SizeColour::Red;
}

}  // namespace quillby
