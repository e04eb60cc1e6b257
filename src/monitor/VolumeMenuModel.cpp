#include "monitor/VolumeMenuModel.h"

#include "core/LocalizedText.h"
#include "monitor/VolumesManager.h"

namespace VolumeMenuModel {

std::optional<std::string> groupTitleKey(std::int32_t kind) {
    static const char* const keys[] = {"LOCAL_STORAGE",  "EXTERNAL_STORAGE", "SUPER_DRIVER",
                                       "NETWOR_STORAGE", "DISK_IMAGE",       "FREE_MEMORY"};
    if (kind < kLocalStorage || kind > kFreeMemoryRow) return std::nullopt;
    return keys[kind];
}

std::vector<VolumeGroup> groupVolumesByKind(const std::vector<QWVolumeInfo>& volumes) {
    std::vector<VolumeGroup> groups;
    for (std::int32_t kind = kLocalStorage; kind <= kDiskImage; ++kind) {
        VolumeGroup group{kind, *groupTitleKey(kind), {}};
        for (const auto& volume : volumes) {
            if (volume.volType == kind) group.volumes.push_back(volume);
        }
        if (!group.volumes.empty()) groups.push_back(std::move(group));
    }
    return groups;
}

bool ejectAllEnabled(const std::vector<QWVolumeInfo>& volumes) {
    for (const auto& volume : volumes) {
        if (volume.volType >= kExternalStorage && volume.volType <= kDiskImage) return true;
    }
    return false;
}

bool needsRebuildOnTick(std::size_t previousCount, std::size_t currentCount) {
    return previousCount != currentCount;
}

EjectAllOutcome rejestAllDisk(VolumesManager& manager) {
    EjectAllOutcome outcome;
    outcome.result = manager.ejectAllVolumes();
    if (outcome.result < 0) {
        outcome.balloonText = localizedString("NO_HAVE_REMOVABLE");
    } else {
        outcome.rebuildMenu = true;
    }
    return outcome;
}

}  // namespace VolumeMenuModel
