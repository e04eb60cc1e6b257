// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/fs/LongPath.h"

#include <fcntl.h>
#include <unistd.h>
#include <cerrno>
#include <climits>

namespace quillby {

int openLongPath(const std::string& path, int flags) {
    if (path.size() < PATH_MAX) return ::open(path.c_str(), flags);
    int folder = AT_FDCWD;
    std::size_t start = 0;
    for (;;) {
        std::size_t left = path.size() - start;
        if (left < PATH_MAX) {
            int fd = ::openat(folder, path.c_str() + start, flags);
            int saved = errno;
            if (folder != AT_FDCWD) ::close(folder);
            errno = saved;
            return fd;
        }
        // The longest piece that ends at a slash and that the kernel still takes.
        std::size_t slash = path.rfind('/', start + PATH_MAX - 2);
        if (slash == std::string::npos || slash < start) {
            if (folder != AT_FDCWD) ::close(folder);
            errno = ENAMETOOLONG;  // one component longer than any name can be
            return -1;
        }
        if (slash == start && start > 0) {  // an empty component: "a//b" means "a/b"
            ++start;
            continue;
        }
        std::string piece = path.substr(start, slash == start ? 1 : slash - start);
        int next = ::openat(folder, piece.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
        int saved = errno;
        if (folder != AT_FDCWD) ::close(folder);
        if (next < 0) {
            errno = saved;
            return -1;
        }
        folder = next;
        start = slash + 1;
    }
}

}  // namespace quillby
