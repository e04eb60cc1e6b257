// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <filesystem>
#include <vector>

namespace quillby {

// The mount points of the machine's internal (fixed, local) volumes, the root included, in the
// order of the volume list. The trash category looks for trash folders on them.
class InternalVolumeSource {
  public:
    virtual ~InternalVolumeSource() = default;
    // Mount points of internal volumes; network, optical, external and removable ones are left
    // out.
    virtual std::vector<std::filesystem::path> internalVolumeRoots() const = 0;
};

}  // namespace quillby
