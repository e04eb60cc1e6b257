// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/linux/LinuxMountChangeNotifier.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>
#include <cerrno>
#include <cstdint>
#include <cstring>

#include "core/events/Log.h"

namespace quillby {

LinuxMountChangeNotifier::LinuxMountChangeNotifier(const std::filesystem::path& mountInfo) {
    tableFd_ = ::open(mountInfo.c_str(), O_RDONLY | O_CLOEXEC);
    if (tableFd_ < 0) QWLog("Cannot watch %s: %s", mountInfo.c_str(), std::strerror(errno));
    stopFd_ = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
}

LinuxMountChangeNotifier::~LinuxMountChangeNotifier() {
    if (tableFd_ >= 0) ::close(tableFd_);
    if (stopFd_ >= 0) ::close(stopFd_);
}

bool LinuxMountChangeNotifier::waitForChange(int timeoutMilliseconds) {
    if (tableFd_ < 0 || stopFd_ < 0) return false;
    pollfd fds[2] = {{tableFd_, POLLPRI, 0}, {stopFd_, POLLIN, 0}};
    for (;;) {
        int ready = ::poll(fds, 2, timeoutMilliseconds);
        if (ready < 0 && errno == EINTR) continue;
        if (ready <= 0 || (fds[1].revents & POLLIN)) return false;
        if (!(fds[0].revents & (POLLPRI | POLLERR))) return false;
        // The event stays raised until the table is read again from the start.
        char buffer[4096];
        ::lseek(tableFd_, 0, SEEK_SET);
        while (::read(tableFd_, buffer, sizeof buffer) > 0) {
        }
        return true;
    }
}

void LinuxMountChangeNotifier::stop() {
    if (stopFd_ >= 0) {
        std::uint64_t one = 1;
        [[maybe_unused]] auto written = ::write(stopFd_, &one, sizeof one);
    }
}

}  // namespace quillby
