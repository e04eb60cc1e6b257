// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>

#include "core/fs/VolumeList.h"

namespace quillby {

// One mounted volume as the monitor shows it.
struct MountedVolume {
    std::int32_t volRefNumber = 0;  // the mount ID: identifies the volume for eject and menus
    std::int32_t volType = -1;      // a VolumeKind
    bool bIsDefaultVol = false;     // the boot volume (root path exactly "/")
    std::string volumeName;
    std::string freeSpace;   // size text of nFreeSize
    std::string totalSpace;  // size text of nTotalSize
    std::string volRootDir;
    bool bCanEject = false;
    std::string volIcon;  // the desktop icon-theme name for the kind
    std::uint64_t nTotalSize = 0;
    std::uint64_t nFreeSize = 0;
    std::string deviceName;  // kernel device name, or the share of a network volume
};

}  // namespace quillby
