#pragma once

#include "clean/InternalVolumeSource.h"
#include "platform/PlatformContext.h"

// The internal volumes from /proc/self/mountinfo: disk file systems on a block device that is
// neither a loop device nor removable nor behind USB, FireWire or Thunderbolt (from /sys), the
// first mount of each device, mounted at its file system's root; system mounts under /boot,
// /proc, /sys, /dev, /run (but /run/media) and /snap are left out.
class MountInfoInternalVolumes final : public InternalVolumeSource {
  public:
    explicit MountInfoInternalVolumes(PlatformContext context);

    std::vector<std::filesystem::path> internalVolumeRoots() const override;

  private:
    bool isRemovableOrExternal(const std::string& majorMinor) const;

    PlatformContext context_;
};
