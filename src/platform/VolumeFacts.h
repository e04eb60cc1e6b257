// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>

namespace quillby {

// What the platform knows about one mounted volume: the facts the volume model classifies.
struct VolumeFacts {
    std::int32_t referenceNumber = 0;  // stable while mounted (the mount ID on Linux)
    std::string name;                  // display name
    std::string rootPath;              // where it is mounted
    std::string deviceName;            // kernel device name ("sdb1"), or the share for a network
    std::string devicePath;            // "/dev/sdb1", or the share ("server:/export")
    std::string wholeDiskName;         // kernel name of the disk holding it ("sdb"), if any
    std::string encryptedDeviceName;   // for an unlocked encrypted volume, the locked device it
                                       // is mapped from ("sdb1"); empty for others
    std::string fileSystemType;        // "ext4", "nfs4", ...
    std::uint64_t totalBytes = 0;
    std::uint64_t freeBytes = 0;
    bool stale = false;        // the sizes are the last known: the file system did not answer
    bool network = false;      // served by another machine
    bool externalBus = false;  // on USB, FireWire or Thunderbolt
    bool removable = false;    // removable medium, or a disk image
    bool ejectable = false;    // the platform can eject it
    bool optical = false;      // a CD or DVD
};

}  // namespace quillby
