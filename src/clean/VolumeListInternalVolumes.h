// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <memory>

#include "clean/InternalVolumeSource.h"
#include "platform/VolumeSource.h"

namespace quillby {

// The internal volumes of the volume model: every volume of kind 0 (Local Storage), in the
// model's order.
class VolumeListInternalVolumes final : public InternalVolumeSource {
  public:
    // Enumerates through `source`, or the installed volume source when none is given.
    explicit VolumeListInternalVolumes(std::shared_ptr<VolumeSource> source = nullptr);

    std::vector<std::filesystem::path> internalVolumeRoots() const override;

  private:
    std::shared_ptr<VolumeSource> source_;
};

}  // namespace quillby
