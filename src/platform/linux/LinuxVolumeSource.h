// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <optional>

#include "platform/PlatformContext.h"
#include "platform/VolumeSource.h"
#include "platform/linux/MountInfo.h"
#include "platform/linux/SysfsBlockDevices.h"

namespace quillby {

// Total and free bytes of a mounted file system.
struct VolumeSpace {
    std::uint64_t totalBytes = 0;
    std::uint64_t freeBytes = 0;
    bool stale = false;  // the last figures known: the file system did not answer this time
};

// The volumes of /proc/self/mountinfo, classified with /sys and named from /dev/disk/by-label.
// Pseudo file systems, snap images, FUSE mounts of programs (all but network storage and disks
// read through FUSE), repeated mounts of one file system and mounts in the system's own folders
// (/proc, /sys, /dev, /run but /run/media, /boot, /snap) are not volumes. Network and FUSE
// mounts are measured together, with one deadline for all of them.
class BoundedSpaceQuery;

class LinuxVolumeSource final : public VolumeSource {
  public:
    using SpaceQuery = std::function<std::optional<VolumeSpace>(const std::string& mountPoint)>;

    // `space` measures a mount point; statvfs when not given.
    explicit LinuxVolumeSource(PlatformContext context, SpaceQuery space = {});

    std::vector<VolumeFacts> mountedVolumes() override;

    // The volumes among these mount-table entries (sizes measured, zero-sized ones dropped).
    std::vector<VolumeFacts> volumesOf(const std::vector<MountEntry>& entries);

    // statvfs: the size and the space an unprivileged user may still fill.
    static std::optional<VolumeSpace> measureWithStatvfs(const std::string& mountPoint);
    static bool isNetworkType(const std::string& fileSystemType);

  private:
    bool isHidden(const MountEntry& entry, const std::optional<BlockDeviceFacts>& device) const;
    std::string labelOf(const std::string& deviceName) const;

    PlatformContext context_;
    SysfsBlockDevices devices_;
    SpaceQuery space_;
    std::shared_ptr<BoundedSpaceQuery> networkSpace_;
    static constexpr std::chrono::milliseconds kNetworkDeadline{300};
};

}  // namespace quillby
