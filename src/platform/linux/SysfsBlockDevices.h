// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>

#include "platform/PlatformContext.h"

namespace quillby {

// What /sys tells about the block device under a mount.
struct BlockDeviceFacts {
    std::string name;             // kernel name of the mounted device ("sdb1", "dm-0")
    std::string wholeDisk;        // kernel name of its whole disk ("sdb"); for an unlocked
                                  // encrypted device, the disk under the encryption
    std::string encryptedDevice;  // for an unlocked encrypted device (dm-crypt), the one
                                  // device it is mapped from ("sdb1")
    std::string backingFile;      // the image file of a loop device
    bool externalBus = false;     // the device, or one it is built on, hangs off USB, FireWire,
                                  // Thunderbolt/USB4 or a removable port, or is an SD card
    bool removable = false;       // a removable medium, an SD card or a disk on a removable port
    bool optical = false;         // a CD or DVD drive
    bool diskImage = false;       // a loop device backed by a file
};

// Resolves block devices through the sysfs root of a platform context: partitions to their
// whole disk, device-mapper and md devices through their slaves.
class SysfsBlockDevices {
  public:
    explicit SysfsBlockDevices(PlatformContext context) : context_(std::move(context)) {}

    // The facts of the device with these numbers, nothing when sysfs does not know it.
    std::optional<BlockDeviceFacts> describe(unsigned major, unsigned minor) const;

  private:
    BlockDeviceFacts describeFolder(const std::filesystem::path& folder, int depth) const;
    // True when `test` holds for a component of the folder's path below the sysfs root.
    bool anyPathComponent(const std::filesystem::path& folder,
                          const std::function<bool(const std::string&)>& test) const;
    bool onExternalBus(const std::filesystem::path& folder) const;
    bool behindRemovablePort(const std::filesystem::path& folder) const;
    bool throughThunderbolt(const std::filesystem::path& folder) const;
    static bool isThunderbolt(const std::string& component);

    PlatformContext context_;
};

}  // namespace quillby
