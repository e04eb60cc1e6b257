// SPDX-License-Identifier: GPL-3.0-or-later
#include "duplicates/Crc64Table.h"

#include <array>
#include <bit>
#include <cstring>

namespace quillby {

namespace {

constexpr std::uint64_t kReflectedPolynomial = 0x95AC9329AC4BC9B5ULL;
constexpr int kSlices = 16;

using Tables = std::array<std::array<std::uint64_t, 256>, kSlices>;

// Table k gives the effect of a byte followed by k zero bytes, so sixteen lookups advance the
// register by sixteen bytes at once.
constexpr Tables makeTables() {
    Tables tables{};
    for (std::uint64_t byte = 0; byte < 256; ++byte) {
        std::uint64_t value = byte;
        for (int bit = 0; bit < 8; ++bit) {
            value = (value & 1) ? (value >> 1) ^ kReflectedPolynomial : value >> 1;
        }
        tables[0][byte] = value;
    }
    for (int slice = 1; slice < kSlices; ++slice) {
        for (int byte = 0; byte < 256; ++byte) {
            std::uint64_t previous = tables[slice - 1][byte];
            tables[slice][byte] = (previous >> 8) ^ tables[0][previous & 0xFF];
        }
    }
    return tables;
}

constexpr Tables kTables = makeTables();

std::uint64_t loadLittleEndian(const unsigned char* bytes) {
    std::uint64_t word;
    std::memcpy(&word, bytes, sizeof word);
    if constexpr (std::endian::native == std::endian::big) word = __builtin_bswap64(word);
    return word;
}

}  // namespace

std::uint64_t crc64TableUpdate(std::uint64_t running, const void* buffer, std::size_t size) {
    const auto* bytes = static_cast<const unsigned char*>(buffer);
    std::uint64_t value = running;
    while (size >= kSlices) {
        std::uint64_t low = loadLittleEndian(bytes) ^ value;
        std::uint64_t high = loadLittleEndian(bytes + 8);
        value = kTables[15][low & 0xFF] ^ kTables[14][(low >> 8) & 0xFF] ^
                kTables[13][(low >> 16) & 0xFF] ^ kTables[12][(low >> 24) & 0xFF] ^
                kTables[11][(low >> 32) & 0xFF] ^ kTables[10][(low >> 40) & 0xFF] ^
                kTables[9][(low >> 48) & 0xFF] ^ kTables[8][low >> 56] ^ kTables[7][high & 0xFF] ^
                kTables[6][(high >> 8) & 0xFF] ^ kTables[5][(high >> 16) & 0xFF] ^
                kTables[4][(high >> 24) & 0xFF] ^ kTables[3][(high >> 32) & 0xFF] ^
                kTables[2][(high >> 40) & 0xFF] ^ kTables[1][(high >> 48) & 0xFF] ^
                kTables[0][high >> 56];
        bytes += kSlices;
        size -= kSlices;
    }
    while (size-- > 0) value = (value >> 8) ^ kTables[0][(value ^ *bytes++) & 0xFF];
    return value;
}

}  // namespace quillby
