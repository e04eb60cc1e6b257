#include "diskusage/FileSizes.h"

#include <fcntl.h>
#include <sys/stat.h>

std::optional<std::uint64_t> entrySize(int folderFd, const char* name, bool* isFolder) {
    struct stat status {};
    if (::fstatat(folderFd, name, &status, AT_SYMLINK_NOFOLLOW) != 0) return std::nullopt;
    if (isFolder) *isFolder = S_ISDIR(status.st_mode);
    return status.st_size < 0 ? 0 : static_cast<std::uint64_t>(status.st_size);
}

std::uint64_t sumFileSizes(int folderFd, const std::vector<std::string_view>& names,
                           std::optional<std::uint64_t> keepFrom, std::vector<KeptFile>& kept) {
    std::uint64_t total = 0;
    for (std::string_view name : names) {
        auto size = entrySize(folderFd, name.data(), nullptr);
        if (!size) continue;
        total += *size;
        if (keepFrom && *size >= *keepFrom) kept.push_back({std::string(name), *size});
    }
    return total;
}
