#include "diskusage/DiskUsageLimit.h"

#include "core/SettingsKeys.h"
#include "core/SizeLimit.h"

std::uint64_t DiskUsageLimit::getLimitSize() {
    return sizeLimitFromSettings(SettingsKey::QWDiskUsageLimit, SettingsKey::QWDiskUsageUnit);
}
