#include "core/DirectoryReader.h"

#include <dirent.h>
#include <cerrno>
#include <cstring>

DirectoryReader::DirectoryReader(int folderFd) : fd_(folderFd), buffer_(new char[kBufferSize]) {}

std::vector<std::string> DirectoryReader::allNames(int folderFd, int* error) {
    std::vector<std::string> names;
    DirectoryReader reader(folderFd);
    Entry entry;
    while (reader.next(entry)) names.emplace_back(entry.name);
    if (error) *error = reader.error();
    return names;
}

bool DirectoryReader::next(Entry& entry) {
    for (;;) {
        if (position_ >= end_) {
            if (exhausted_) return false;
            ssize_t count = ::getdents64(fd_, buffer_.get(), kBufferSize);
            if (count < 0 && errno == EINTR) continue;
            if (count <= 0) {
                if (count < 0) error_ = errno;
                exhausted_ = true;
                return false;
            }
            position_ = 0;
            end_ = static_cast<std::size_t>(count);
        }
        const auto* record = reinterpret_cast<const dirent64*>(buffer_.get() + position_);
        position_ += record->d_reclen;
        const char* name = record->d_name;
        if (name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'))) continue;
        entry.name = name;
        entry.type = record->d_type;
        return true;
    }
}
