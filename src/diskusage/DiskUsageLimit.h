// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

namespace quillby {

// The size limit of the disk-usage lists: items below it are left out of the column browser's
// tree and of the ring page's list (their bytes still count in their folder).
class DiskUsageLimit {
  public:
    // getLimitSize: "QWDiskUsageLimit" times the decimal step of "QWDiskUsageUnit" (1 KB,
    // 2 MB, 3 GB, 4 TB; any other code leaves the number as bytes), the largest count when the
    // product does not fit 64 bits.
    static std::uint64_t getLimitSize();
};

}  // namespace quillby
