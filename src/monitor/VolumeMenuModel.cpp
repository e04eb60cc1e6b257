// SPDX-License-Identifier: GPL-3.0-or-later
#include "monitor/VolumeMenuModel.h"

#include <cstdlib>

#include "core/text/LocalizedText.h"
#include "core/text/UtilityFunctionOfData.h"
#include "monitor/VolumesManager.h"

namespace quillby {

namespace VolumeMenuModel {

std::vector<VolumeGroup> groupVolumesByKind(const std::vector<MountedVolume>& volumes) {
    std::vector<VolumeGroup> groups;
    for (std::int32_t kind = kLocalStorage; kind <= kDiskImage; ++kind) {
        VolumeGroup group{kind, VolumeRow::groupTitleKey(static_cast<std::uint32_t>(kind)), {}};
        for (const auto& volume : volumes) {
            if (volume.volType == kind) group.volumes.push_back(volume);
        }
        if (!group.volumes.empty()) groups.push_back(std::move(group));
    }
    return groups;
}

VolumeRow volumeRow(const MountedVolume& volume, std::int32_t tag, const std::string& errorValue) {
    VolumeRow row;
    row.myStorage = static_cast<std::uint32_t>(volume.volType);
    row.volRefNumber = volume.volRefNumber;
    row.bIsDefaultVol = volume.bIsDefaultVol;
    row.bCanEject = volume.bCanEject;
    row.volumeSize = volume.volumeName;
    row.u64FreeSpace = volume.freeSpace;
    row.u64TotalSpace = volume.totalSpace;
    row.nFreeSize = volume.nFreeSize;
    row.nTotalSize = volume.nTotalSize;
    row.errorValue = errorValue;
    row.volRootDir = volume.volRootDir;
    row.ViewTag = tag;
    return row;
}

std::vector<VolumeRow> volumeRows(const std::vector<MountedVolume>& volumes) {
    std::string threshold = spaceAlarmPercent();
    std::vector<VolumeRow> rows;
    for (std::size_t i = 0; i < volumes.size(); ++i) {
        rows.push_back(volumeRow(volumes[i], static_cast<std::int32_t>(i), threshold));
    }
    return rows;
}

std::string spaceAlarmPercent() {
    SettingItems snapshot = UtilityFunctionOfData::getMyData().readerTxtForSettingValue();
    return std::to_string(
        static_cast<int>(std::strtof(snapshot.errorValue.c_str(), nullptr) * 100.0f));
}

bool ejectAllEnabled(const std::vector<MountedVolume>& volumes) {
    for (const auto& volume : volumes) {
        if (volume.volType >= kExternalStorage && volume.volType <= kDiskImage) return true;
    }
    return false;
}

bool needsRebuildOnTick(std::size_t previousCount, std::size_t currentCount) {
    return previousCount != currentCount;
}

EjectAllOutcome rejestAllDisk(VolumesManager& manager) {
    return ejectAllOutcome(manager.ejectAllVolumes());
}

EjectAllOutcome ejectAllOutcome(std::int32_t result) {
    EjectAllOutcome outcome;
    outcome.result = result;
    if (outcome.result < 0) {
        outcome.balloonText = localizedString("NO_HAVE_REMOVABLE");
    } else {
        outcome.rebuildMenu = true;
    }
    return outcome;
}

}  // namespace VolumeMenuModel

}  // namespace quillby
