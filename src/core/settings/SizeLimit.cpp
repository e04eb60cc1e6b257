// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/settings/SizeLimit.h"

#include "core/settings/PreferenceViewController.h"
#include "core/settings/UserDefaults.h"

namespace quillby {

std::uint64_t sizeLimitInBytes(std::int64_t number, std::int64_t unitCode) {
    if (number <= 0) return 0;
    static constexpr std::uint64_t kUnits[] = {1, 1000, 1000000, 1000000000, 1000000000000};
    std::uint64_t unit = unitCode >= 0 && unitCode <= 4 ? kUnits[unitCode] : 1;
    auto count = static_cast<std::uint64_t>(number);
    if (count > UINT64_MAX / unit) return UINT64_MAX;
    return count * unit;
}

std::uint64_t sizeLimitFromSettings(const char* numberKey, const char* unitKey) {
    PreferenceViewController::initialize();
    auto& defaults = UserDefaults::standardUserDefaults();
    return sizeLimitInBytes(defaults.integerForKey(numberKey), defaults.integerForKey(unitKey));
}

}  // namespace quillby
