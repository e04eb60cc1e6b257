// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/apps/FileCreationDate.h"

#include <fcntl.h>
#include <sys/stat.h>

namespace quillby {

std::optional<std::chrono::system_clock::time_point> fileCreationDate(
    const std::filesystem::path& path) {
    struct statx status {};
    if (::statx(AT_FDCWD, path.c_str(), 0, STATX_BTIME | STATX_CTIME, &status) != 0) {
        return std::nullopt;
    }
    // A birth time of zero is what some images and file systems store when they never knew it.
    bool hasBirthTime = (status.stx_mask & STATX_BTIME) &&
                        (status.stx_btime.tv_sec != 0 || status.stx_btime.tv_nsec != 0);
    const statx_timestamp& stamp = hasBirthTime ? status.stx_btime : status.stx_ctime;
    auto sinceEpoch = std::chrono::seconds(stamp.tv_sec) + std::chrono::nanoseconds(stamp.tv_nsec);
    return std::chrono::system_clock::time_point(
        std::chrono::duration_cast<std::chrono::system_clock::duration>(sinceEpoch));
}

}  // namespace quillby
