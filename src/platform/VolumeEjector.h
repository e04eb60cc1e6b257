// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cerrno>
#include <string>
#include <utility>

#include "platform/VolumeFacts.h"

namespace quillby {

// What became of an eject: done, or the step that failed and why, in words for the user.
struct EjectResult {
    int error = 0;       // 0 when done; otherwise an error number (logged by the caller)
    std::string reason;  // the failed step and its cause; empty when done

    bool succeeded() const { return error == 0; }
    static EjectResult failed(int error, std::string reason) {
        return {error != 0 ? error : EIO, std::move(reason)};
    }
};

// Unmounts a volume and ejects or powers off its medium where the hardware allows.
class VolumeEjector {
  public:
    virtual ~VolumeEjector() = default;
    // Succeeds when the volume is no longer mounted and, for an unlocked encrypted volume, its
    // encrypted device is locked again and its drive let go.
    virtual EjectResult ejectVolume(const VolumeFacts& volume) = 0;
};

}  // namespace quillby
