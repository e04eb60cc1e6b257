// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/fs/DirectoryReader.h"

#include <dirent.h>
#include <cerrno>
#include <cstring>

namespace quillby {

namespace {
bool isDotOrDotDot(const char* name) {
    return name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'));
}
}  // namespace

DirectoryReader::DirectoryReader(int folderFd) : fd_(folderFd) {}

std::vector<std::string> DirectoryReader::allNames(int folderFd, int* error) {
    std::vector<std::string> names;
    DirectoryReader reader(folderFd);
    Entry entry;
    while (reader.next(entry)) names.emplace_back(entry.name);
    if (error) *error = reader.error();
    return names;
}

long DirectoryReader::readBatch(int fd, char* block) {
    long count;
    do {
        count = ::getdents64(fd, block, kBlockSize);
    } while (count < 0 && errno == EINTR);
    return count;
}

char* DirectoryReader::block(std::size_t index) {
    while (blocks_.size() <= index) blocks_.push_back(std::make_unique<char[]>(kBlockSize));
    return blocks_[index].get();
}

bool DirectoryReader::next(Entry& entry) {
    for (;;) {
        if (position_ >= end_) {
            if (exhausted_) return false;
            long count = readBatch(fd_, block(0));
            if (count <= 0) {
                if (count < 0) error_ = errno;
                exhausted_ = true;
                return false;
            }
            position_ = 0;
            end_ = static_cast<std::size_t>(count);
        }
        const auto* record = reinterpret_cast<const dirent64*>(blocks_[0].get() + position_);
        position_ += record->d_reclen;
        if (isDotOrDotDot(record->d_name)) continue;
        entry.name = record->d_name;
        entry.type = record->d_type;
        return true;
    }
}

bool DirectoryReader::readAll(int fd) {
    entries_.clear();
    error_ = 0;
    if (blocks_.size() > kBlocksKept) blocks_.resize(kBlocksKept);
    for (std::size_t used = 0;; ++used) {
        char* data = block(used);
        long length = readBatch(fd, data);
        if (length < 0) {
            error_ = errno;
            return false;
        }
        if (length == 0) return true;
        for (long offset = 0; offset < length;) {
            const auto* record = reinterpret_cast<const dirent64*>(data + offset);
            offset += record->d_reclen;
            if (isDotOrDotDot(record->d_name)) continue;
            entries_.push_back({std::string_view(record->d_name), record->d_type});
        }
    }
}

}  // namespace quillby
