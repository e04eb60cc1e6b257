#include "diskusage/DirectoryListing.h"

#include <dirent.h>
#include <cerrno>
#include <cstring>

namespace {
constexpr size_t kBlockSize = 64 * 1024;
}

bool DirectoryListing::read(int fd) {
    entries_.clear();
    // A folder that once was huge does not keep its buffers for the rest of the scan.
    if (blocks_.size() > 16) blocks_.resize(16);
    size_t used = 0;
    for (;;) {
        if (used == blocks_.size()) blocks_.push_back(std::make_unique<char[]>(kBlockSize));
        char* block = blocks_[used].get();
        ssize_t length;
        do {
            length = ::getdents64(fd, block, kBlockSize);
        } while (length < 0 && errno == EINTR);
        if (length < 0) return false;
        if (length == 0) break;
        ++used;
        for (ssize_t offset = 0; offset < length;) {
            auto* record = reinterpret_cast<struct dirent64*>(block + offset);
            offset += record->d_reclen;
            const char* name = record->d_name;
            if (name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'))) {
                continue;
            }
            entries_.push_back({std::string_view(name, std::strlen(name)), record->d_type});
        }
    }
    return true;
}
