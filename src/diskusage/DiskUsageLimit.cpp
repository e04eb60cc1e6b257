#include "diskusage/DiskUsageLimit.h"

#include <limits>

#include "core/SettingsKeys.h"
#include "core/UserDefaults.h"

std::uint64_t DiskUsageLimit::limitSizeFor(std::uint64_t number, std::int64_t unitCode) {
    std::uint64_t multiplier = 1;
    switch (unitCode) {
        case 1:
            multiplier = 1000ULL;
            break;
        case 2:
            multiplier = 1000000ULL;
            break;
        case 3:
            multiplier = 1000000000ULL;
            break;
        case 4:
            multiplier = 1000000000000ULL;
            break;
        default:
            break;
    }
    if (number > std::numeric_limits<std::uint64_t>::max() / multiplier) {
        return std::numeric_limits<std::uint64_t>::max();
    }
    return number * multiplier;
}

std::uint64_t DiskUsageLimit::getLimitSize() {
    auto& defaults = UserDefaults::standardUserDefaults();
    // The limit is an unsigned setting: its stored bits are read as such.
    auto number = static_cast<std::uint64_t>(defaults.integerForKey(SettingsKey::QWDiskUsageLimit));
    return limitSizeFor(number, defaults.integerForKey(SettingsKey::QWDiskUsageUnit));
}
