// SPDX-License-Identifier: GPL-3.0-or-later
#include "diskusage/FileSizes.h"

#include <fcntl.h>

namespace quillby {

std::optional<struct stat> entryStatus(int folderFd, const char* name) {
    struct stat status {};
    if (::fstatat(folderFd, name, &status, AT_SYMLINK_NOFOLLOW) != 0) return std::nullopt;
    return status;
}

std::optional<std::uint64_t> entrySize(int folderFd, const char* name, bool* isFolder) {
    auto status = entryStatus(folderFd, name);
    if (!status) return std::nullopt;
    if (isFolder) *isFolder = S_ISDIR(status->st_mode);
    return sizeOfStatus(*status);
}

KeptFile keptFile(std::string_view name, const struct stat& status) {
    return {std::string(name),
            sizeOfStatus(status),
            status.st_blocks < 0 ? 0 : static_cast<std::uint64_t>(status.st_blocks) * 512,
            static_cast<std::uint64_t>(status.st_ino),
            static_cast<std::uint64_t>(status.st_nlink),
            S_ISREG(status.st_mode)};
}

std::uint64_t sumFileSizes(int folderFd, const std::vector<std::string_view>& names,
                           std::optional<std::uint64_t> keepFrom, std::vector<KeptFile>& kept) {
    std::uint64_t total = 0;
    for (std::string_view name : names) {
        auto status = entryStatus(folderFd, name.data());
        if (!status) continue;
        std::uint64_t size = sizeOfStatus(*status);
        total += size;
        if (keepFrom && size >= *keepFrom) kept.push_back(keptFile(name, *status));
    }
    return total;
}

}  // namespace quillby
