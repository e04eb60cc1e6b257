// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/linux/UDisks2Client.h"

#include <cctype>
#include <cstdio>

namespace quillby {

namespace {

constexpr const char* kBlockInterface = "org.freedesktop.UDisks2.Block";
constexpr const char* kDriveInterface = "org.freedesktop.UDisks2.Drive";

}  // namespace

std::string UDisks2Client::blockObjectPath(const std::string& deviceName) {
    std::string path = "/org/freedesktop/UDisks2/block_devices/";
    for (unsigned char c : deviceName) {
        if (std::isalnum(c)) {
            path.push_back(static_cast<char>(c));
        } else {
            char escaped[4];
            std::snprintf(escaped, sizeof escaped, "_%02x", c);
            path += escaped;
        }
    }
    return path;
}

UDisks2Client::Outcome UDisks2Client::unmountAndEject(const std::string& deviceName) {
    if (deviceName.empty()) return {false, EjectResult::failed(EINVAL, "the volume has no device")};
    std::string block = blockObjectPath(deviceName);
    std::string reason;
    int unmounted = bus_.call(block, "org.freedesktop.UDisks2.Filesystem", "Unmount", reason);
    if (unmounted != 0) {
        return {false, EjectResult::failed(unmounted,
                                           "the file system could not be unmounted: " + reason)};
    }

    // An unlocked encrypted device names the locked one it was opened from.
    std::string encrypted = bus_.objectProperty(block, kBlockInterface, "CryptoBackingDevice");
    if (!encrypted.empty()) return {true, lockAndLetGoOfDrive(encrypted)};

    if (deviceName.starts_with("loop")) {
        bus_.call(block, "org.freedesktop.UDisks2.Loop", "Delete", reason);
        return {true, {}};
    }
    std::string drive = bus_.objectProperty(block, kBlockInterface, "Drive");
    if (drive.empty()) return {true, {}};
    if (bus_.booleanProperty(drive, kDriveInterface, "Ejectable")) {
        bus_.call(drive, kDriveInterface, "Eject", reason);
    } else if (bus_.booleanProperty(drive, kDriveInterface, "CanPowerOff")) {
        bus_.call(drive, kDriveInterface, "PowerOff", reason);
    }
    return {true, {}};
}

EjectResult UDisks2Client::lockAndLetGoOfDrive(const std::string& encryptedBlock) {
    std::string reason;
    int locked = bus_.call(encryptedBlock, "org.freedesktop.UDisks2.Encrypted", "Lock", reason);
    if (locked != 0) {
        return EjectResult::failed(
            locked,
            "the file system is unmounted, but the encrypted disk could not be locked: " + reason);
    }
    std::string drive = bus_.objectProperty(encryptedBlock, kBlockInterface, "Drive");
    return drive.empty() ? EjectResult{} : letGoOfDrive(drive);
}

EjectResult UDisks2Client::letGoOfDrive(const std::string& drive) {
    bool canPowerOff = bus_.booleanProperty(drive, kDriveInterface, "CanPowerOff");
    bool ejectable = bus_.booleanProperty(drive, kDriveInterface, "Ejectable");
    if (!canPowerOff && !ejectable) return {};  // a fixed disk: locked is as far as it goes
    std::string reason;
    int error = 0;
    if (canPowerOff) {
        error = bus_.call(drive, kDriveInterface, "PowerOff", reason);
        if (error == 0) return {};
    }
    if (ejectable) {
        std::string ejectReason;
        error = bus_.call(drive, kDriveInterface, "Eject", ejectReason);
        if (error == 0) return {};
        reason += (reason.empty() ? "" : "; ") + ejectReason;
    }
    return EjectResult::failed(
        error, "the encrypted disk is locked, but the drive could not be powered off: " + reason);
}

}  // namespace quillby
