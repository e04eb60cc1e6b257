// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/apps/DesktopEntryFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <cstring>

namespace quillby {

std::optional<DesktopEntry> readDesktopEntryFile(const std::filesystem::path& file,
                                                 std::string* why) {
    why->clear();
    int fd = ::open(file.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        *why = std::strerror(errno);
        return std::nullopt;
    }
    DesktopEntry::Limits limits;
    struct stat status {};
    std::string text;
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        *why = "not a regular file";
    } else if (static_cast<std::uint64_t>(status.st_size) > limits.maximumSize) {
        *why = "larger than " + std::to_string(limits.maximumSize) + " bytes";
    } else {
        char buffer[65536];
        while (text.size() <= limits.maximumSize) {
            ssize_t length = ::read(fd, buffer, sizeof buffer);
            if (length < 0 && errno == EINTR) continue;
            if (length < 0) *why = std::strerror(errno);
            if (length <= 0) break;
            text.append(buffer, static_cast<size_t>(length));
        }
    }
    ::close(fd);
    if (!why->empty()) return std::nullopt;
    auto parsed = DesktopEntry::parse(text, limits);
    if (!parsed.entry) *why = parsed.error;
    return std::move(parsed.entry);
}

}  // namespace quillby
