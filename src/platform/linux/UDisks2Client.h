// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

#include "platform/VolumeEjector.h"
#include "platform/linux/UDisks2Bus.h"

namespace quillby {

// Ejects a block device through the UDisks2 daemon: unmounts its file system, then lets go of
// what holds it.
class UDisks2Client {
  public:
    explicit UDisks2Client(UDisks2Bus& bus) : bus_(bus) {}

    // How far an eject came: whether the file system is unmounted, and what failed.
    struct Outcome {
        bool unmounted = false;
        EjectResult result;
    };

    // Unmounts the file system of a kernel block device ("sdb1", "dm-0"). An unlocked encrypted
    // device is then locked and its drive powered off (ejected where it cannot be); each of
    // those steps that fails ends the eject and is the outcome's failure. Other devices: a loop
    // device is detached, a drive with removable media ejected, another one that can be powered
    // off powered off; a failure there is only logged, as the volume is gone from the user's view.
    Outcome unmountAndEject(const std::string& deviceName);

    // The object path of a kernel block device ("dm-0" becomes .../block_devices/dm_2d0).
    static std::string blockObjectPath(const std::string& deviceName);

  private:
    EjectResult lockAndLetGoOfDrive(const std::string& encryptedBlock);
    // Powers the drive off, else ejects it; a drive that can do neither is left as it is.
    EjectResult letGoOfDrive(const std::string& drive);

    UDisks2Bus& bus_;
};

}  // namespace quillby
