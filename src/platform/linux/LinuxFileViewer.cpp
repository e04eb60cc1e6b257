#include "platform/linux/LinuxFileViewer.h"

#include <systemd/sd-bus.h>

#include "core/FileURL.h"
#include "core/Log.h"
#include "platform/linux/LinuxProcessLauncher.h"

namespace {

bool showWithFileManager(const std::string& uri) {
    sd_bus* bus = nullptr;
    if (sd_bus_open_user(&bus) < 0) return false;
    sd_bus_error error = SD_BUS_ERROR_NULL;
    sd_bus_message* reply = nullptr;
    int result = sd_bus_call_method(bus, "org.freedesktop.FileManager1",
                                    "/org/freedesktop/FileManager1", "org.freedesktop.FileManager1",
                                    "ShowFolders", &error, &reply, "ass", 1, uri.c_str(), "");
    if (result < 0) {
        QWLog("FileManager1.ShowFolders failed: %s", error.message ? error.message : "no reply");
    }
    sd_bus_message_unref(reply);
    sd_bus_error_free(&error);
    sd_bus_flush_close_unref(bus);
    return result >= 0;
}

}  // namespace

bool LinuxFileViewer::openFolder(const std::string& path) {
    if (showWithFileManager(fileURLFromPath(path))) return true;
    return LinuxProcessLauncher::runAndWait(opener_, {path}) == 0;
}
