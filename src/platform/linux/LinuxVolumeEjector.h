// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

#include "platform/VolumeEjector.h"

namespace quillby {

// Ejects through UDisks2 on the system bus; where that fails, through `udisksctl`; last through
// `umount`. Tools are started without a shell.
class LinuxVolumeEjector final : public VolumeEjector {
  public:
    struct Tools {
        bool useBus = true;                   // ask UDisks2 over D-Bus first
        std::string udisksctl = "udisksctl";  // path or name looked up on PATH
        std::string umount = "umount";
    };

    LinuxVolumeEjector() = default;
    explicit LinuxVolumeEjector(Tools tools) : tools_(std::move(tools)) {}

    int ejectVolume(const VolumeFacts& volume) override;

  private:
    int ejectWithUdisksctl(const VolumeFacts& volume);
    Tools tools_;
};

}  // namespace quillby
