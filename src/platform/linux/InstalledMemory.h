// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

#include "platform/PlatformContext.h"

namespace quillby {

// The physical memory present, in bytes: the memory blocks the kernel lists under
// <sys>/devices/system/memory, else `memTotal` (MemTotal, which leaves out what the firmware and
// the kernel keep) rounded up to the next GiB. So a 16 GiB machine reads as 16 GiB.
std::uint64_t installedMemory(const PlatformContext& context, std::uint64_t memTotal);

}  // namespace quillby
