// SPDX-License-Identifier: GPL-3.0-or-later
#include "helper/CachePurge.h"

#include <fcntl.h>
#include <unistd.h>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace quillby {

int purgeCaches() {
    if (::geteuid() != 0) {
        std::fprintf(stderr, "quillby-helper: purge needs administrator rights\n");
        return 1;
    }
    // Dirty pages cannot be dropped; writing them out first lets the drop free them too.
    ::sync();
    int fd = ::open("/proc/sys/vm/drop_caches", O_WRONLY | O_CLOEXEC);
    if (fd < 0) {
        std::fprintf(stderr, "quillby-helper: cannot open /proc/sys/vm/drop_caches: %s\n",
                     std::strerror(errno));
        return 1;
    }
    ssize_t written = ::write(fd, "3", 1);
    int error = errno;
    ::close(fd);
    if (written != 1) {
        std::fprintf(stderr, "quillby-helper: cannot drop the caches: %s\n", std::strerror(error));
        return 1;
    }
    return 0;
}

}  // namespace quillby
