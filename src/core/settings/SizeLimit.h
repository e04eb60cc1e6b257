// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

namespace quillby {

// A size limit from the preferences: a number times its unit code's decimal step (0 bytes,
// 1 KB, 2 MB, 3 GB, 4 TB; any other code leaves the number in bytes). Negative numbers are 0;
// a product beyond 64 bits is the largest count.
std::uint64_t sizeLimitInBytes(std::int64_t number, std::int64_t unitCode);

// The limit stored under a number key and its unit key (for example "QWDiskUsageLimit" and
// "QWDiskUsageUnit").
std::uint64_t sizeLimitFromSettings(const char* numberKey, const char* unitKey);

}  // namespace quillby
