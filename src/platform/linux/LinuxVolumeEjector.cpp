// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/linux/LinuxVolumeEjector.h"

#include "core/events/Log.h"
#include "platform/linux/LinuxProcessLauncher.h"
#include "platform/linux/UDisks2SystemBus.h"

namespace quillby {

namespace {

// Only a real disk is powered off; mapped, RAID and loop devices have no power of their own.
bool canPowerOff(const std::string& wholeDisk) {
    return !wholeDisk.empty() && !wholeDisk.starts_with("dm-") && !wholeDisk.starts_with("md") &&
           !wholeDisk.starts_with("loop");
}

std::string statusText(const std::string& command, int status) {
    return status < 0 ? command + " could not be started"
                      : command + " ended with status " + std::to_string(status);
}

}  // namespace

UDisks2Client::Outcome LinuxVolumeEjector::ejectOverBus(const VolumeFacts& volume) {
    std::shared_ptr<UDisks2Bus> bus = tools_.bus;
    if (!bus) {
        int error = 0;
        std::string reason;
        bus = UDisks2SystemBus::open(error, reason);
        if (!bus) return {false, EjectResult::failed(error, reason)};
    }
    return UDisks2Client(*bus).unmountAndEject(volume.deviceName);
}

UDisks2Client::Outcome LinuxVolumeEjector::ejectWithUdisksctl(const VolumeFacts& volume) {
    auto run = [this](const std::string& command, const std::string& device) {
        return LinuxProcessLauncher::runAndWait(tools_.udisksctl,
                                                {command, "--no-user-interaction", "-b", device});
    };
    const std::string& device = volume.devicePath;
    int status = run("unmount", device);
    if (status != 0)
        return {false, EjectResult::failed(status, statusText("udisksctl unmount", status))};
    bool releasable = (volume.removable || volume.externalBus) && canPowerOff(volume.wholeDiskName);
    if (!volume.encryptedDeviceName.empty()) {
        status = run("lock", "/dev/" + volume.encryptedDeviceName);
        if (status != 0) {
            return {true, EjectResult::failed(
                              status,
                              "the file system is unmounted, but the encrypted disk could "
                              "not be locked: " +
                                  statusText("udisksctl lock", status))};
        }
        status = releasable ? run("power-off", "/dev/" + volume.wholeDiskName) : 0;
        if (status != 0) {
            return {true,
                    EjectResult::failed(status,
                                        "the encrypted disk is locked, but the drive could not be "
                                        "powered off: " +
                                            statusText("udisksctl power-off", status))};
        }
    } else if (volume.deviceName.starts_with("loop")) {
        run("loop-delete", device);
    } else if (releasable) {
        run("power-off", "/dev/" + volume.wholeDiskName);
    }
    return {true, {}};
}

EjectResult LinuxVolumeEjector::ejectVolume(const VolumeFacts& volume) {
    bool blockDevice = !volume.network && volume.devicePath.starts_with("/dev/");
    // The first tool's reason says most: later ones only fail the same unmount again.
    std::string firstReason;
    // True when the tool got as far as the unmount: then its result is the eject's.
    auto unmountedBy = [&](const UDisks2Client::Outcome& outcome, const char* tool) {
        if (outcome.unmounted) {
            if (!outcome.result.succeeded())
                QWLog("Eject %s: %s", volume.rootPath.c_str(), outcome.result.reason.c_str());
            return true;
        }
        QWLog("%s could not unmount %s (%s)", tool, volume.rootPath.c_str(),
              outcome.result.reason.c_str());
        if (firstReason.empty()) firstReason = outcome.result.reason;
        return false;
    };
    if (blockDevice && tools_.useBus) {
        auto outcome = ejectOverBus(volume);
        if (unmountedBy(outcome, "UDisks2")) return outcome.result;
    }
    if (blockDevice) {
        auto outcome = ejectWithUdisksctl(volume);
        if (unmountedBy(outcome, "udisksctl")) return outcome.result;
    }
    int status = LinuxProcessLauncher::runAndWait(tools_.umount, {"--", volume.rootPath});
    if (status == 0) return {};
    QWLog("umount %s failed with status %d", volume.rootPath.c_str(), status);
    return EjectResult::failed(status,
                               firstReason.empty() ? statusText("umount", status) : firstReason);
}

}  // namespace quillby
