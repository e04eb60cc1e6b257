// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/linux/LinuxVolumeEjector.h"

#include "core/events/Log.h"
#include "platform/linux/LinuxProcessLauncher.h"
#include "platform/linux/UDisks2Client.h"

namespace quillby {

namespace {

// Only a real disk is powered off; mapped, RAID and loop devices have no power of their own.
bool canPowerOff(const std::string& wholeDisk) {
    return !wholeDisk.empty() && !wholeDisk.starts_with("dm-") && !wholeDisk.starts_with("md") &&
           !wholeDisk.starts_with("loop");
}

}  // namespace

int LinuxVolumeEjector::ejectWithUdisksctl(const VolumeFacts& volume) {
    const std::string& device = volume.devicePath;
    int status = LinuxProcessLauncher::runAndWait(
        tools_.udisksctl, {"unmount", "--no-user-interaction", "-b", device});
    if (status != 0) return status;
    if (volume.deviceName.starts_with("loop")) {
        LinuxProcessLauncher::runAndWait(tools_.udisksctl,
                                         {"loop-delete", "--no-user-interaction", "-b", device});
    } else if ((volume.removable || volume.externalBus) && canPowerOff(volume.wholeDiskName)) {
        LinuxProcessLauncher::runAndWait(tools_.udisksctl, {"power-off", "--no-user-interaction",
                                                            "-b", "/dev/" + volume.wholeDiskName});
    }
    return 0;
}

int LinuxVolumeEjector::ejectVolume(const VolumeFacts& volume) {
    bool blockDevice = !volume.network && volume.devicePath.starts_with("/dev/");
    int result = 0;
    if (blockDevice && tools_.useBus) {
        result = UDisks2Client::unmountAndEject(volume.deviceName);
        if (result == 0) return 0;
        QWLog("UDisks2 could not eject %s (%d); trying udisksctl", volume.rootPath.c_str(), result);
    }
    if (blockDevice) {
        result = ejectWithUdisksctl(volume);
        if (result == 0) return 0;
        QWLog("udisksctl could not eject %s (%d); trying umount", volume.rootPath.c_str(), result);
    }
    result = LinuxProcessLauncher::runAndWait(tools_.umount, {"--", volume.rootPath});
    if (result != 0) QWLog("umount %s failed with status %d", volume.rootPath.c_str(), result);
    return result;
}

}  // namespace quillby
