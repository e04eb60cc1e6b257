// SPDX-License-Identifier: GPL-3.0-or-later
#include "sysinfo/DiagnosticLog.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <cstring>
#include <system_error>

#include "core/events/Log.h"
#include "core/fs/OwnFile.h"
#include "core/fs/UserHome.h"
#include "core/fs/VolumeList.h"
#include "platform/Services.h"
#include "sysinfo/MachineFacts.h"

namespace quillby {

namespace fs = std::filesystem;

namespace {

// A folder only the user may enter: no one else can have put anything in it.
bool isPrivateFolder(const fs::path& folder, uid_t uid) {
    struct stat info {};
    return ::lstat(folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode) && info.st_uid == uid &&
           (info.st_mode & 0777) == 0700;
}

// The log opened for appending at `path`, or -1 with `why`.
int openLog(const std::string& fileName, fs::path& path, std::string& why) {
    auto found = DiagnosticLog::logFilePath(fileName);
    if (!found) {
        const PlatformContext& context = Services::context();
        why = UserHome(context.home, context.uid).refusal();
        if (why.empty()) why = "no folder of the user's own can hold it";
        return -1;
    }
    path = *found;
    int fd = openOwnFile(path, O_WRONLY | O_APPEND | O_CREAT, Services::context().uid, why);
    if (fd < 0) why = path.string() + ": " + why;
    return fd;
}

}  // namespace

std::optional<fs::path> DiagnosticLog::logFilePath(const std::string& fileName) {
    const PlatformContext& context = Services::context();
    if (!UserHome(context.home, context.uid).refusal().empty()) return std::nullopt;
    fs::path folder = context.appDataFolder();
    std::error_code error;
    fs::create_directories(folder, error);
    if (fs::is_directory(folder, error)) return folder / fileName;
    if (!isPrivateFolder(context.runtimeDir, context.uid)) return std::nullopt;
    folder = context.runtimeDir / context.bundleIdentifier;
    fs::create_directory(folder, error);
    if (!fs::is_directory(fs::symlink_status(folder, error))) return std::nullopt;
    return folder / fileName;
}

void DiagnosticLog::trimLog(int fd) {
    struct stat info {};
    if (::fstat(fd, &info) == 0 && static_cast<std::uint64_t>(info.st_size) > kMaximumSize) {
        if (::ftruncate(fd, 0) != 0) QWLog("Cannot empty the log: %s", std::strerror(errno));
    }
}

void DiagnosticLog::sendLogLinesTo(const std::string& fileName) {
    fs::path path;
    std::string why;
    int fd = openLog(fileName, path, why);
    setLogDescriptor(fd);  // without a log, log lines go nowhere rather than to the terminal
    if (fd < 0) return;
    logSysInfo(fd, path);
}

void DiagnosticLog::setLogFile(const std::string& fileName, bool trimOversized) {
    fs::path path;
    std::string why;
    int fd = openLog(fileName, path, why);
    if (fd < 0) {
        QWLog("No diagnostic log file (%s): logging to standard error", why.c_str());
        return;
    }
    if (trimOversized) trimLog(fd);
    ::dup2(fd, STDERR_FILENO);
    ::close(fd);
    logSysInfo(STDERR_FILENO, path);
}

void DiagnosticLog::logSysInfo(int fd, const fs::path& path) {
    struct stat info {};
    if (::fstat(fd, &info) == 0 && info.st_size > 0) return;
    QWLog("Orvane Log file: %s", path.c_str());
    logComInfo();
}

void DiagnosticLog::logComInfo() {
    QWLog("hardware info");
    MachineFacts facts = MachineFacts::read();
    auto logIfKnown = [](const char* format, const std::string& value) {
        if (!value.empty()) QWLog(format, value.c_str());
    };
    logIfKnown("machine: %s", facts.machine);
    logIfKnown("model: %s", facts.model);
    if (facts.memorySize > 0) {
        QWLog("memsize: %llu GB", static_cast<unsigned long long>(facts.memorySize >> 30));
    }
    logIfKnown("cpu vendor: %s", facts.cpuVendor);
    logIfKnown("cpu type: %s", facts.cpuBrand);
    logIfKnown("os type: %s", facts.osType);
    logIfKnown("os version: %s", facts.osRelease);
    logIfKnown("host name: %s", facts.hostname);
    QWLog(" ");

    QWLog("volume list");
    for (const auto& volume : listedVolumes()) {
        QWLog("volname=%s,totalSpace:%llu GB, freeSpace:%llu GB, root=%s", volume.name.c_str(),
              static_cast<unsigned long long>(volume.totalBytes >> 30),
              static_cast<unsigned long long>(volume.freeBytes >> 30), volume.rootPath.c_str());
        if (volume.rootPath == "/") QWLog("default volume");
        QWLog("vMDeviceID:%s,Attrib:0x%x,ExtAttrib:0x%x,Server:0x%x", volume.deviceName.c_str(), 0u,
              volumeAttributeBits(volume), volume.network ? 1u : 0u);
    }
    QWLog(" ");
}

unsigned DiagnosticLog::volumeAttributeBits(const VolumeFacts& volume) {
    unsigned bits = 0;
    if (volume.externalBus) bits |= 1u << 27;
    if (volume.removable) bits |= 1u << 25;
    if (volume.ejectable) bits |= 1u;
    return bits;
}

}  // namespace quillby
