// SPDX-License-Identifier: GPL-3.0-or-later
#include "diskusage/DiskUsageLimit.h"

#include "core/settings/SettingsKeys.h"
#include "core/settings/SizeLimit.h"

namespace quillby {

std::uint64_t DiskUsageLimit::getLimitSize() {
    return sizeLimitFromSettings(SettingsKey::QWDiskUsageLimit, SettingsKey::QWDiskUsageUnit);
}

}  // namespace quillby
