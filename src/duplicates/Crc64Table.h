// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>

namespace quillby {

// Continues a running value of the duplicate finder's CRC-64 (see crc.h) over the bytes with
// lookup tables, sixteen bytes per step. Always built: it serves where ISA-L is absent.
std::uint64_t crc64TableUpdate(std::uint64_t running, const void* buffer, std::size_t size);

}  // namespace quillby
