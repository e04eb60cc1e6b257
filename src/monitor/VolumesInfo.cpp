// SPDX-License-Identifier: GPL-3.0-or-later
#include "monitor/VolumesInfo.h"

#include "core/events/Log.h"
#include "core/text/UtilityFunction.h"
#include "platform/Services.h"

namespace quillby {

VolumesInfo::VolumesInfo(std::shared_ptr<VolumeSource> source)
    : source_(source ? std::move(source) : Services::get<VolumeSource>()) {
    if (!source_) QWLog("No volume source is installed; no volume will be listed");
    enumVolumesInfo();
}

const std::vector<MountedVolume>& VolumesInfo::getAllVolsInfo() {
    enumVolumesInfo();
    return volsArray_;
}

void VolumesInfo::enumVolumesInfo() {
    volsArray_.clear();
    facts_.clear();
    if (!source_) return;
    for (auto& facts : listedVolumes(source_)) {
        volsArray_.push_back(makeRecord(facts));
        facts_.push_back(std::move(facts));
    }
}

const MountedVolume* VolumesInfo::getBootVolume() const {
    for (const auto& volume : volsArray_) {
        if (volume.bIsDefaultVol) return &volume;
    }
    return nullptr;
}

std::optional<VolumeFacts> VolumesInfo::factsOf(std::int32_t refNumber) const {
    for (const auto& facts : facts_) {
        if (facts.referenceNumber == refNumber) return facts;
    }
    return std::nullopt;
}

std::int32_t VolumesInfo::getVolumeType(const VolumeFacts& facts) {
    return volumeKindOf(facts);
}

bool VolumesInfo::getVolEjectFlag(const VolumeFacts& facts) {
    return facts.network || facts.externalBus || facts.ejectable;
}

const char* VolumesInfo::iconNameForKind(std::int32_t kind) {
    switch (kind) {
        case kExternalStorage:
            return "drive-removable-media";
        case kOpticalDisc:
            return "media-optical";
        case kNetworkStorage:
            return "folder-remote";
        case kDiskImage:
            return "media-flash";
        default:
            return "drive-harddisk";
    }
}

MountedVolume VolumesInfo::makeRecord(const VolumeFacts& facts) {
    MountedVolume volume;
    volume.volRefNumber = facts.referenceNumber;
    volume.nTotalSize = facts.totalBytes;
    volume.nFreeSize = facts.freeBytes;
    volume.totalSpace = UtilityFunction::convertVolSpace(facts.totalBytes);
    volume.freeSpace = UtilityFunction::convertVolSpace(facts.freeBytes);
    volume.volumeName = facts.name;
    volume.volRootDir = facts.rootPath;
    volume.bIsDefaultVol = facts.rootPath == "/";
    volume.deviceName = facts.deviceName;
    volume.bCanEject = getVolEjectFlag(facts);
    volume.volType = getVolumeType(facts);
    if (volume.volType == kOpticalDisc) volume.bCanEject = true;
    volume.volIcon = iconNameForKind(volume.volType);
    return volume;
}

}  // namespace quillby
