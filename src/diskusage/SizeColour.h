// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

namespace quillby {

// The colour of a size text in the column browser, growing with the size.
enum class SizeColour { White, Green, Yellow, Orange, Red };

// Up to 1,000 bytes white, up to 1,000,000 green, up to 999,999,999 yellow, up to
// 999,999,999,999 orange, above that red.
SizeColour sizeColourFor(std::uint64_t bytes);

}  // namespace quillby
