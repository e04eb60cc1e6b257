// SPDX-License-Identifier: GPL-3.0-or-later
#include "duplicates/DuplicateSearchSettings.h"

#include <limits>

#include "core/settings/SettingsKeys.h"
#include "core/settings/UserDefaults.h"

namespace quillby {

std::uint64_t DuplicateSearchSettings::thresholdFor(std::int64_t limit, std::int64_t unit) {
    if (limit <= 0) return 0;
    std::uint64_t multiplier = 1;
    switch (unit) {
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
    auto value = static_cast<std::uint64_t>(limit);
    if (value > std::numeric_limits<std::uint64_t>::max() / multiplier) {
        return std::numeric_limits<std::uint64_t>::max();
    }
    return value * multiplier;
}

DuplicateSearchSettings DuplicateSearchSettings::fromUserDefaults(const UserDefaults& defaults) {
    DuplicateSearchSettings settings;
    settings.threshold = thresholdFor(defaults.integerForKey(SettingsKey::QWDuplicationLimit),
                                      defaults.integerForKey(SettingsKey::QWDuplicatesUnit));
    settings.includeHidden = defaults.boolForKey(SettingsKey::QWHidenDuplication);
    settings.includeSystem = defaults.boolForKey(SettingsKey::QWSystemDuplication);
    settings.excludes = defaults.linesForKey(SettingsKey::DuplicateExcludes);
    return settings;
}

}  // namespace quillby
