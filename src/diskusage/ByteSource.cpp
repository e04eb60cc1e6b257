// SPDX-License-Identifier: GPL-3.0-or-later
#include "diskusage/ByteSource.h"

#include <unistd.h>
#include <algorithm>
#include <cerrno>
#include <cstring>

namespace quillby {

long DescriptorSource::read(char* buffer, std::size_t capacity) {
    while (true) {
        ssize_t got = ::read(fd_, buffer, capacity);
        if (got >= 0) return static_cast<long>(got);
        if (errno != EINTR) return -1;
    }
}

long InMemoryByteSource::read(char* buffer, std::size_t capacity) {
    std::size_t count = std::min(capacity, rest_.size());
    if (count > 0) std::memcpy(buffer, rest_.data(), count);
    rest_.remove_prefix(count);
    return static_cast<long>(count);
}

}  // namespace quillby
