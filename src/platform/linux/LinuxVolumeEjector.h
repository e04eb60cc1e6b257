// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <memory>
#include <string>

#include "platform/VolumeEjector.h"
#include "platform/linux/UDisks2Client.h"

namespace quillby {

// Ejects through UDisks2 on the system bus; where that cannot unmount, through `udisksctl`;
// last through `umount`. Once the file system is unmounted, a later step that fails (locking an
// encrypted disk, powering off its drive) is the eject's failure: no other tool is tried. Tools
// are started without a shell.
class LinuxVolumeEjector final : public VolumeEjector {
  public:
    struct Tools {
        bool useBus = true;                   // ask UDisks2 over D-Bus first
        std::shared_ptr<UDisks2Bus> bus;      // the daemon to ask; the system bus when empty
        std::string udisksctl = "udisksctl";  // path or name looked up on PATH
        std::string umount = "umount";
    };

    LinuxVolumeEjector() = default;
    explicit LinuxVolumeEjector(Tools tools) : tools_(std::move(tools)) {}

    EjectResult ejectVolume(const VolumeFacts& volume) override;

  private:
    UDisks2Client::Outcome ejectOverBus(const VolumeFacts& volume);
    UDisks2Client::Outcome ejectWithUdisksctl(const VolumeFacts& volume);
    Tools tools_;
};

}  // namespace quillby
