// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/fs/FolderHandle.h"

#include <fcntl.h>
#include <unistd.h>
#include <cerrno>
#include <utility>

#include "core/fs/EntryStatus.h"
#include "core/fs/LongPath.h"

namespace quillby {

FolderHandle::~FolderHandle() {
    if (fd_ >= 0) ::close(fd_);
}

FolderHandle::FolderHandle(FolderHandle&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)), device_(other.device_) {}

FolderHandle& FolderHandle::operator=(FolderHandle&& other) noexcept {
    if (this != &other) {
        if (fd_ >= 0) ::close(fd_);
        fd_ = std::exchange(other.fd_, -1);
        device_ = other.device_;
    }
    return *this;
}

FolderHandle FolderHandle::adopt(int fd, int& error, bool* isMountRoot) {
    if (fd < 0) {
        error = errno;
        return {};
    }
    auto status = entryStatusAt(fd, "");
    if (!status || status->kind != EntryKind::Directory) {
        error = status ? ENOTDIR : errno;
        ::close(fd);
        return {};
    }
    if (isMountRoot) *isMountRoot = status->isMountRoot;
    return FolderHandle(fd, status->device);
}

FolderHandle FolderHandle::openChild(const FolderHandle& parent, const char* name,
                                     bool sameFileSystem, int& error) {
    int fd = ::openat(parent.fd(), name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (!sameFileSystem) {
        if (fd < 0) {
            error = errno;
            return {};
        }
        // The walk that may cross disks skips the status call: it measures, never deletes.
        return FolderHandle(fd, parent.device());
    }
    bool isMountRoot = false;
    FolderHandle child = adopt(fd, error, &isMountRoot);
    if (!child.isOpen()) return child;
    if (isMountRoot || child.device() != parent.device()) {
        error = EXDEV;
        return {};
    }
    return child;
}

FolderHandle FolderHandle::openStep(const FolderHandle& parent, const char* name, int& error) {
    return adopt(::openat(parent.fd(), name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC),
                 error);
}

FolderHandle FolderHandle::openFolder(const std::string& path, int& error) {
    return adopt(::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC), error);
}

FolderHandle FolderHandle::openTrusted(const std::string& path, int& error) {
    return adopt(::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC), error);
}

FolderHandle FolderHandle::openLocation(const std::string& path, int& error) {
    return adopt(openLongPath(path, O_PATH | O_DIRECTORY | O_CLOEXEC), error);
}

FolderHandle FolderHandle::openLocationStep(const FolderHandle& parent, const char* name,
                                            int& error) {
    // O_PATH needs no read right on the folders on the way; O_NOFOLLOW with O_DIRECTORY refuses
    // a link.
    int fd = ::openat(parent.fd(), name, O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0 && (errno == ENOTDIR || errno == ELOOP)) {
        auto status = entryStatusAt(parent.fd(), name);
        errno = (status && status->kind == EntryKind::Symlink) ? ELOOP : ENOTDIR;
    }
    return adopt(fd, error);
}

FolderHandle FolderHandle::openParentWithoutLinks(const std::string& path, std::string& name,
                                                  int& error) {
    if (path.empty() || path.front() != '/') {
        error = EINVAL;
        return {};
    }
    FolderHandle current = adopt(::open("/", O_PATH | O_DIRECTORY | O_CLOEXEC), error);
    std::size_t start = 1;
    for (;;) {
        if (!current.isOpen()) return current;
        std::size_t slash = path.find('/', start);
        if (slash == std::string::npos) {
            name = path.substr(start);
            return current;
        }
        std::string component = path.substr(start, slash - start);
        current = openLocationStep(current, component.c_str(), error);
        start = slash + 1;
    }
}

}  // namespace quillby
