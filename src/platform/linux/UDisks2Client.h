// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

namespace quillby {

// Talks to the UDisks2 daemon on the system bus (sd-bus): unmounts a block device's file system,
// then detaches a loop device, ejects a drive with removable media, or powers off one that can.
class UDisks2Client {
  public:
    // 0 when the file system was unmounted (a failed eject or power-off afterwards is only
    // logged: the volume is gone from the user's view). Otherwise a positive error number:
    // no bus, no daemon, or the daemon's refusal.
    static int unmountAndEject(const std::string& deviceName);

    // The object path of a kernel block device ("dm-0" becomes .../block_devices/dm_2d0).
    static std::string blockObjectPath(const std::string& deviceName);
};

}  // namespace quillby
