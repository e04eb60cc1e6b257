// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <vector>

#include "platform/VolumeFacts.h"

namespace quillby {

// Lists the mounted volumes, in the platform's order (the boot volume normally first). Mounts
// that are not volumes (pseudo file systems, hidden system mounts) are left out.
class VolumeSource {
  public:
    virtual ~VolumeSource() = default;
    virtual std::vector<VolumeFacts> mountedVolumes() = 0;
};

}  // namespace quillby
