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

bool SizeMeasure::firstName(const struct stat& status) {
    Identity id{status.st_dev, status.st_ino};
    Shard& shard = shards_[IdentityHash()(id) % shards_.size()];
    std::lock_guard lock(shard.mutex);
    return shard.seen.insert(id).second;
}

KeptFile keptFile(std::string_view name, const struct stat& status, std::uint64_t counted) {
    return {std::string(name),
            sizeOfStatus(status),
            status.st_blocks < 0 ? 0 : static_cast<std::uint64_t>(status.st_blocks) * 512,
            counted,
            static_cast<std::uint64_t>(status.st_ino),
            static_cast<std::uint64_t>(status.st_nlink),
            S_ISREG(status.st_mode)};
}

std::uint64_t sumFileSizes(int folderFd, const std::vector<std::string_view>& names,
                           SizeMeasure& measure, std::optional<std::uint64_t> keepFrom,
                           std::vector<KeptFile>& kept, FileHighlights::Folder* seen) {
    std::uint64_t total = 0;
    for (std::string_view name : names) {
        auto status = entryStatus(folderFd, name.data());
        if (!status) continue;
        std::uint64_t size = measure.bytesOf(*status);
        total += size;
        if (seen) seen->offer(name, *status);
        if (keepFrom && size >= *keepFrom) kept.push_back(keptFile(name, *status, size));
    }
    return total;
}

}  // namespace quillby
