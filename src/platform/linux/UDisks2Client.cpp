// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/linux/UDisks2Client.h"

#include <systemd/sd-bus.h>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "core/events/Log.h"

namespace quillby {

namespace {

constexpr const char* kService = "org.freedesktop.UDisks2";
constexpr const char* kDriveInterface = "org.freedesktop.UDisks2.Drive";

// Owns one sd-bus reference and one error for the length of a call.
struct BusCall {
    sd_bus* bus = nullptr;
    sd_bus_error error = SD_BUS_ERROR_NULL;
    ~BusCall() {
        sd_bus_error_free(&error);
        if (bus) sd_bus_flush_close_unref(bus);
    }
    void resetError() {
        sd_bus_error_free(&error);
        error = SD_BUS_ERROR_NULL;
    }
};

// Calls a method that takes only an empty options dictionary ("a{sv}").
int callWithNoOptions(BusCall& call, const std::string& path, const char* interface,
                      const char* method) {
    call.resetError();
    sd_bus_message* reply = nullptr;
    int result = sd_bus_call_method(call.bus, kService, path.c_str(), interface, method,
                                    &call.error, &reply, "a{sv}", 0);
    sd_bus_message_unref(reply);
    if (result < 0) {
        QWLog("UDisks2 %s.%s on %s failed: %s", interface, method, path.c_str(),
              call.error.message ? call.error.message : std::strerror(-result));
    }
    return result;
}

bool booleanProperty(BusCall& call, const std::string& path, const char* name) {
    call.resetError();
    int value = 0;
    return sd_bus_get_property_trivial(call.bus, kService, path.c_str(), kDriveInterface, name,
                                       &call.error, 'b', &value) >= 0 &&
           value != 0;
}

std::string driveOf(BusCall& call, const std::string& blockPath) {
    call.resetError();
    sd_bus_message* reply = nullptr;
    std::string drive;
    if (sd_bus_get_property(call.bus, kService, blockPath.c_str(), "org.freedesktop.UDisks2.Block",
                            "Drive", &call.error, &reply, "o") >= 0) {
        const char* path = nullptr;
        if (sd_bus_message_read(reply, "o", &path) >= 0 && path) drive = path;
    }
    sd_bus_message_unref(reply);
    return drive == "/" ? std::string() : drive;
}

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

int UDisks2Client::unmountAndEject(const std::string& deviceName) {
    if (deviceName.empty()) return EINVAL;
    BusCall call;
    int opened = sd_bus_open_system(&call.bus);
    if (opened < 0) {
        call.bus = nullptr;
        return -opened;
    }
    std::string blockPath = blockObjectPath(deviceName);
    int unmounted =
        callWithNoOptions(call, blockPath, "org.freedesktop.UDisks2.Filesystem", "Unmount");
    if (unmounted < 0) return -unmounted;

    if (deviceName.starts_with("loop")) {
        callWithNoOptions(call, blockPath, "org.freedesktop.UDisks2.Loop", "Delete");
        return 0;
    }
    std::string drive = driveOf(call, blockPath);
    if (drive.empty()) return 0;
    if (booleanProperty(call, drive, "Ejectable")) {
        callWithNoOptions(call, drive, kDriveInterface, "Eject");
    } else if (booleanProperty(call, drive, "CanPowerOff")) {
        callWithNoOptions(call, drive, kDriveInterface, "PowerOff");
    }
    return 0;
}

}  // namespace quillby
