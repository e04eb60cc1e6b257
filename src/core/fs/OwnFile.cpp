// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/fs/OwnFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <cstring>

namespace quillby {

namespace fs = std::filesystem;

namespace {

int refuse(int fd, int error, std::string& why, std::string text) {
    ::close(fd);
    why = std::move(text);
    errno = error;
    return -1;
}

}  // namespace

int openOwnFile(const fs::path& path, int flags, uid_t owner, std::string& why) {
    int fd = ::open(path.c_str(), flags | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0600);
    if (fd < 0) {
        int error = errno;
        // A FIFO without a reader answers ENXIO to a write-only open that may not wait.
        why = error == ELOOP   ? "it is a symbolic link"
              : error == ENXIO ? "it is not a regular file"
                               : std::strerror(error);
        errno = error;
        return -1;
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0) return refuse(fd, errno, why, std::strerror(errno));
    if (!S_ISREG(info.st_mode)) return refuse(fd, EINVAL, why, "it is not a regular file");
    if (info.st_uid != owner) {
        return refuse(fd, EPERM, why,
                      "it belongs to another user (uid " + std::to_string(info.st_uid) + ")");
    }
    // Only the open had to be kept from waiting; the file's reads and writes may block.
    int status = ::fcntl(fd, F_GETFL);
    if (status < 0 || ::fcntl(fd, F_SETFL, status & ~O_NONBLOCK) != 0) {
        return refuse(fd, errno, why, std::strerror(errno));
    }
    return fd;
}

std::optional<std::string> readOwnFile(const fs::path& path, uid_t owner, std::size_t limit,
                                       std::string& why) {
    int fd = openOwnFile(path, O_RDONLY, owner, why);
    if (fd < 0) return std::nullopt;
    std::string text;
    char buffer[4096];
    for (;;) {
        ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) {
            refuse(fd, errno, why, std::strerror(errno));
            return std::nullopt;
        }
        if (got == 0) break;
        text.append(buffer, static_cast<std::size_t>(got));
        if (text.size() > limit) {
            refuse(fd, EFBIG, why, "it is larger than " + std::to_string(limit) + " bytes");
            return std::nullopt;
        }
    }
    ::close(fd);
    return text;
}

}  // namespace quillby
