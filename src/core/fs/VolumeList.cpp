// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/fs/VolumeList.h"

#include "platform/Services.h"

namespace quillby {

std::int32_t volumeKindOf(const VolumeFacts& facts) {
    if (facts.network) return kNetworkStorage;
    if (facts.optical) return kOpticalDisc;
    if (facts.externalBus) return kExternalStorage;
    if (facts.removable) return kDiskImage;
    return kLocalStorage;
}

std::vector<VolumeFacts> listedVolumes(const std::shared_ptr<VolumeSource>& source) {
    std::shared_ptr<VolumeSource> from = source ? source : Services::get<VolumeSource>();
    std::vector<VolumeFacts> volumes;
    if (!from) return volumes;
    for (auto& facts : from->mountedVolumes()) {
        if (facts.totalBytes != 0) volumes.push_back(std::move(facts));
    }
    return volumes;
}

}  // namespace quillby
