// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/linux/LinuxFileViewer.h"

#include <systemd/sd-bus.h>

#include <filesystem>
#include <thread>

#include "core/events/Log.h"
#include "core/fs/FileURL.h"
#include "core/fs/SafeOpenRule.h"
#include "platform/linux/LinuxProcessLauncher.h"

namespace quillby {

namespace {

bool callFileManager(const std::string& method, const std::string& uri,
                     std::chrono::milliseconds timeLimit) {
    sd_bus* bus = nullptr;
    if (sd_bus_open_user(&bus) < 0) return false;
    sd_bus_set_method_call_timeout(bus, static_cast<uint64_t>(timeLimit.count()) * 1000);
    sd_bus_error error = SD_BUS_ERROR_NULL;
    sd_bus_message* reply = nullptr;
    int result = sd_bus_call_method(bus, "org.freedesktop.FileManager1",
                                    "/org/freedesktop/FileManager1", "org.freedesktop.FileManager1",
                                    method.c_str(), &error, &reply, "ass", 1, uri.c_str(), "");
    if (result < 0) {
        QWLog("FileManager1.%s failed: %s", method.c_str(),
              error.message ? error.message : "no reply");
    }
    sd_bus_message_unref(reply);
    sd_bus_error_free(&error);
    sd_bus_flush_close_unref(bus);
    return result >= 0;
}

}  // namespace

LinuxFileViewer::LinuxFileViewer(std::string opener) : LinuxFileViewer(Options()) {
    options_.opener = std::move(opener);
}

LinuxFileViewer::LinuxFileViewer(Options options) : options_(std::move(options)) {
    if (!options_.launcher) options_.launcher = std::make_shared<LinuxProcessLauncher>();
    if (!options_.fileManager) {
        options_.fileManager = [limit = options_.timeLimit](const std::string& method,
                                                            const std::string& uri) {
            return callFileManager(method, uri, limit);
        };
    }
}

bool LinuxFileViewer::runOpener(const std::string& target) {
    auto process = options_.launcher->launch(options_.opener, {target});
    if (!process) {
        QWLog("Cannot start %s for %s", options_.opener.c_str(), target.c_str());
        return false;
    }
    auto deadline = std::chrono::steady_clock::now() + options_.timeLimit;
    while (process->isRunning()) {
        if (std::chrono::steady_clock::now() >= deadline) {
            // The desktop did not answer in time; what it may still start is its own business.
            QWLog("%s did not answer within %lld ms for %s", options_.opener.c_str(),
                  static_cast<long long>(options_.timeLimit.count()), target.c_str());
            process->terminate();
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return process->terminationStatus() == 0;
}

bool LinuxFileViewer::openFolder(const std::string& path) {
    if (options_.fileManager("ShowFolders", fileURLFromPath(path))) return true;
    return runOpener(path);
}

bool LinuxFileViewer::openFile(const std::string& path) {
    switch (safeOpenAction(path)) {
        case OpenAction::ShowFolder:
            return openFolder(path);
        case OpenAction::OpenWithDefault:
            return runOpener(path);
        case OpenAction::Reveal:
            break;
    }
    return revealItem(path);
}

bool LinuxFileViewer::revealItem(const std::string& path) {
    if (options_.fileManager("ShowItems", fileURLFromPath(path))) return true;
    std::filesystem::path folder = std::filesystem::path(path).parent_path();
    if (folder.empty()) return false;
    return runOpener(folder.string());
}

}  // namespace quillby
