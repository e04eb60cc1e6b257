#include "diskusage/DiskUsageLimit.h"

#include "core/settings/SettingsKeys.h"
#include "core/settings/SizeLimit.h"

std::uint64_t DiskUsageLimit::getLimitSize() {
    return sizeLimitFromSettings(SettingsKey::QWDiskUsageLimit, SettingsKey::QWDiskUsageUnit);
}
