// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>

namespace quillby {

// The duplicate finder's content checksum: a 64-bit CRC with the reflected polynomial
// 0x95AC9329AC4BC9B5 (0xAD93D23594C935A9 unreflected), bytes entering at the low end, initial
// value all ones and no final exclusive-or. Records use 0 for "not computed yet".
class crc {
  public:
    static constexpr std::uint64_t initialValue = ~std::uint64_t{0};

    // The checksum of `size` bytes: 0 when `buffer` is null, all ones for no bytes.
    static std::uint64_t crc64(const void* buffer, std::uint32_t size);
    // Continues `running` over the bytes, or starts from the initial value when `isHead` is
    // set; 0 when `buffer` is null. No bytes leave the start value unchanged.
    static std::uint64_t crc64Buffer(const void* buffer, std::uint32_t size, bool isHead,
                                     std::uint64_t running);
    // Continues a running value over any number of bytes with the fastest implementation built
    // in (ISA-L when present, else the table implementation).
    static std::uint64_t update(std::uint64_t running, const void* buffer, std::size_t size);
    // The implementation update() uses: "isa-l" or "table".
    static const char* implementationName();
};

}  // namespace quillby
