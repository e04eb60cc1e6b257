// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/VolumeFacts.h"

namespace quillby {

// Unmounts a volume and ejects or powers off its medium where the hardware allows.
class VolumeEjector {
  public:
    virtual ~VolumeEjector() = default;
    // 0 when the volume is no longer mounted; otherwise an error number (logged by the caller).
    virtual int ejectVolume(const VolumeFacts& volume) = 0;
};

}  // namespace quillby
