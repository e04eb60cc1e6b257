// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>

namespace quillby {

// Continues a running value of the duplicate finder's CRC-64 (see crc.h) with Intel ISA-L's
// carry-less-multiply implementation. Built only when ISA-L is installed.
std::uint64_t crc64IsalUpdate(std::uint64_t running, const void* buffer, std::size_t size);

}  // namespace quillby
