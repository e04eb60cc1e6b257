// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/fs/WriteAll.h"

#include <unistd.h>
#include <cerrno>

namespace quillby {

bool writeAll(int fd, std::string_view text) {
    std::size_t done = 0;
    while (done < text.size()) {
        ssize_t count = ::write(fd, text.data() + done, text.size() - done);
        if (count < 0 && errno == EINTR) continue;
        if (count <= 0) return false;
        done += static_cast<std::size_t>(count);
    }
    return true;
}

}  // namespace quillby
