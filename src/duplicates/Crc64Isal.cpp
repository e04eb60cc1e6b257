// SPDX-License-Identifier: GPL-3.0-or-later
#include "duplicates/Crc64Isal.h"

#include <isa-l/crc64.h>

namespace quillby {

std::uint64_t crc64IsalUpdate(std::uint64_t running, const void* buffer, std::size_t size) {
    // ISA-L inverts the register on the way in and out; inverting around it gives our
    // all-ones start without a final exclusive-or, and lets values chain across calls.
    return ~crc64_jones_refl(~running, static_cast<const std::uint8_t*>(buffer), size);
}

}  // namespace quillby
