#include "sysinfo/MacLog.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/utsname.h>
#include <unistd.h>
#include <cerrno>
#include <cstring>
#include <system_error>

#include "core/Log.h"
#include "platform/Services.h"

namespace fs = std::filesystem;

fs::path MacLog::logFilePath(const std::string& fileName) {
    const PlatformContext& context = Services::context();
    fs::path folder = context.appDataFolder();
    std::error_code error;
    fs::create_directories(folder, error);
    if (!fs::is_directory(folder, error)) folder = context.tempDir / context.bundleIdentifier;
    fs::create_directories(folder, error);
    return folder / fileName;
}

void MacLog::deleteLog(const fs::path& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) == 0 &&
        static_cast<std::uint64_t>(info.st_size) > kMaximumSize) {
        ::unlink(path.c_str());
    }
}

int MacLog::openForAppending(const std::string& fileName) {
    fs::path path = logFilePath(fileName);
    deleteLog(path);
    return ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0600);
}

void MacLog::setLogFile(const std::string& fileName) {
    fs::path path = logFilePath(fileName);
    deleteLog(path);
    int fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) {
        QWLog("Cannot open the log %s: %s", path.c_str(), std::strerror(errno));
        return;
    }
    ::dup2(fd, STDERR_FILENO);
    ::close(fd);
    logSysInfo(path);
}

void MacLog::logSysInfo(const fs::path& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) == 0 && info.st_size > 0) return;
    QWLog("Orvane Log file: %s", path.c_str());
    logComInfo();
}

void MacLog::logComInfo() {
    QWLog("hardware info");
    utsname names{};
    if (::uname(&names) == 0) {
        QWLog("machine: %s", names.machine);
        QWLog("os type: %s", names.sysname);
        QWLog("os version: %s", names.release);
        QWLog("host name: %s", names.nodename);
    }
    QWLog(" ");
}
