// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/VolumeFacts.h"
#include "platform/VolumeSource.h"

namespace quillby {

// Volume kinds, which are also the status menu's group order; kind 5 is the menu's memory row.
enum VolumeKind : std::int32_t {
    kLocalStorage = 0,
    kExternalStorage = 1,
    kOpticalDisc = 2,
    kNetworkStorage = 3,
    kDiskImage = 4,
    kFreeMemoryRow = 5,
};

// The kind of a mounted volume: network, optical, external bus and removable (disk images
// included) in that order of precedence, else local storage.
std::int32_t volumeKindOf(const VolumeFacts& facts);

// The volumes the program lists, in the source's order: every mounted volume with a size (a
// mount of size 0 holds nothing to show). `source` null takes the installed volume source; none
// installed lists nothing.
std::vector<VolumeFacts> listedVolumes(const std::shared_ptr<VolumeSource>& source = nullptr);

}  // namespace quillby
