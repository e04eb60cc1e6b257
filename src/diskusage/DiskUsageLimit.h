#pragma once

#include <cstdint>

// The size limit of the disk-usage lists: items below it are left out of the column browser's
// tree and of the ring page's list (their bytes still count in their folder).
class DiskUsageLimit {
  public:
    // `number` times the unit's decimal multiplier: 1 KB (1,000), 2 MB (1,000,000),
    // 3 GB (10^9), 4 TB (10^12); any other unit code leaves the number as bytes. A product too
    // large for 64 bits is the largest count rather than a wrapped small one.
    static std::uint64_t limitSizeFor(std::uint64_t number, std::int64_t unitCode);
    // The limit the settings "QWDiskUsageLimit" and "QWDiskUsageUnit" describe (getLimitSize).
    static std::uint64_t getLimitSize();
};
