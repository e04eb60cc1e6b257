// SPDX-License-Identifier: GPL-3.0-or-later
#include "duplicates/crc.h"

#include "duplicates/Crc64Table.h"
#ifdef QUILLBY_HAVE_ISAL
#include "duplicates/Crc64Isal.h"
#endif

namespace quillby {

std::uint64_t crc::crc64(const void* buffer, std::uint32_t size) {
    if (!buffer) return 0;
    return update(initialValue, buffer, size);
}

std::uint64_t crc::crc64Buffer(const void* buffer, std::uint32_t size, bool isHead,
                               std::uint64_t running) {
    if (!buffer) return 0;
    return update(isHead ? initialValue : running, buffer, size);
}

std::uint64_t crc::update(std::uint64_t running, const void* buffer, std::size_t size) {
#ifdef QUILLBY_HAVE_ISAL
    return crc64IsalUpdate(running, buffer, size);
#else
    return crc64TableUpdate(running, buffer, size);
#endif
}

const char* crc::implementationName() {
#ifdef QUILLBY_HAVE_ISAL
    return "isa-l";
#else
    return "table";
#endif
}

}  // namespace quillby
