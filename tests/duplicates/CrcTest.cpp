// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <string>

#include "duplicates/Crc64Table.h"
#include "duplicates/DuplicateTestSupport.h"
#include "duplicates/crc.h"
#ifdef QUILLBY_HAVE_ISAL
#include "duplicates/Crc64Isal.h"
#endif

using namespace quillby;

namespace {

// The checksum by its definition, one bit at a time: the reference for every fast form.
std::uint64_t bitwiseCrc(std::uint64_t value, const std::string& bytes) {
    for (unsigned char byte : bytes) {
        value ^= byte;
        for (int bit = 0; bit < 8; ++bit) {
            value = (value & 1) ? (value >> 1) ^ 0x95AC9329AC4BC9B5ULL : value >> 1;
        }
    }
    return value;
}

using Update = std::uint64_t (*)(std::uint64_t, const void*, std::size_t);

void expectMatchesDefinition(Update update) {
    // Every length up to a few slices, at every alignment, and a long buffer.
    std::string data = randomBytes(70000, 7);
    for (std::size_t offset = 0; offset < 8; ++offset) {
        for (std::size_t length = 0; length < 100; ++length) {
            std::string piece = data.substr(offset, length);
            ASSERT_EQ(update(crc::initialValue, data.data() + offset, length),
                      bitwiseCrc(crc::initialValue, piece))
                << "offset " << offset << " length " << length;
        }
    }
    EXPECT_EQ(update(crc::initialValue, data.data() + 3, data.size() - 3),
              bitwiseCrc(crc::initialValue, data.substr(3)));
    EXPECT_EQ(update(0x0123456789ABCDEFULL, data.data(), 333),
              bitwiseCrc(0x0123456789ABCDEFULL, data.substr(0, 333)));
}

}  // namespace

TEST(Crc64, CheckValues) {
    EXPECT_EQ(crc::crc64("abc", 3), 0xF10896EFC03E0514ULL);
    EXPECT_EQ(crc::crc64("123456789", 9), 0xCAA717168609F281ULL);
    EXPECT_EQ(crc::crc64("", 0), 0xFFFFFFFFFFFFFFFFULL);
    EXPECT_EQ(crc::crc64(nullptr, 5), 0u);
    EXPECT_EQ(crc::crc64Buffer(nullptr, 5, true, 42), 0u);
    EXPECT_EQ(crc::crc64Buffer("x", 0, false, 42), 42u);
    EXPECT_EQ(crc::crc64Buffer("x", 0, true, 42), crc::initialValue);
}

TEST(Crc64, TableImplementationMatchesTheDefinition) {
    expectMatchesDefinition(&crc64TableUpdate);
}

#ifdef QUILLBY_HAVE_ISAL
TEST(Crc64, IsalImplementationMatchesTheDefinition) {
    expectMatchesDefinition(&crc64IsalUpdate);
    EXPECT_STREQ(crc::implementationName(), "isa-l");
}
#endif

TEST(Crc64, ChunksChainToTheWholeChecksum) {
    std::string data = randomBytes(10000, 11);
    std::uint64_t whole = crc::crc64(data.data(), static_cast<std::uint32_t>(data.size()));
    for (std::size_t split : {1u, 15u, 16u, 17u, 1024u, 4099u}) {
        std::uint64_t running =
            crc::crc64Buffer(data.data(), static_cast<std::uint32_t>(split), true, 12345);
        running = crc::crc64Buffer(data.data() + split,
                                   static_cast<std::uint32_t>(data.size() - split), false, running);
        EXPECT_EQ(running, whole) << "split at " << split;
    }
}

TEST(Crc64, ForgedTwinsShareTheChecksumButNotTheBytes) {
    std::string original = randomBytes(3000, 5);
    std::string twin = crcTwinOf(original, 2000);
    EXPECT_NE(twin, original);
    EXPECT_EQ(crc::crc64(twin.data(), 3000), crc::crc64(original.data(), 3000));
    EXPECT_EQ(crc::crc64(twin.data(), 1024), crc::crc64(original.data(), 1024));
}
