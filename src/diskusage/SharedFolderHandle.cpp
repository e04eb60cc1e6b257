// SPDX-License-Identifier: GPL-3.0-or-later
#include "diskusage/SharedFolderHandle.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>
#include <algorithm>
#include <cerrno>
#include <vector>

namespace quillby {

namespace {

constexpr int kChildFlags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;

std::atomic<long> openHandles{0};
std::atomic<long> budget{512};

int openAt(int base, const std::string& name, int flags) {
    int fd;
    do {
        fd = ::openat(base, name.c_str(), flags);
    } while (fd < 0 && errno == EINTR);
    return fd;
}

}  // namespace

SharedFolderHandle::~SharedFolderHandle() {
    if (fd_ >= 0) {
        ::close(fd_);
        openHandles.fetch_sub(1, std::memory_order_relaxed);
    }
}

int SharedFolderHandle::openFolderPath(const std::string& path) {
    int fd = openAt(AT_FDCWD, path, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0 || errno != ENAMETOOLONG || path.empty() || path[0] != '/') return fd;
    int base = openAt(AT_FDCWD, "/", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    size_t start = 1;
    while (base >= 0 && start < path.size()) {
        size_t slash = std::min(path.find('/', start), path.size());
        std::string component = path.substr(start, slash - start);
        start = slash + 1;
        if (component.empty()) continue;
        int next = openAt(base, component, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        ::close(base);
        base = next;
    }
    return base;
}

std::shared_ptr<SharedFolderHandle> SharedFolderHandle::openPath(const std::string& path) {
    int fd = openFolderPath(path);
    if (fd < 0) return nullptr;
    std::shared_ptr<SharedFolderHandle> handle(new SharedFolderHandle);
    handle->fd_ = fd;
    handle->name_ = path;
    openHandles.fetch_add(1, std::memory_order_relaxed);
    return handle;
}

int SharedFolderHandle::reopen() const {
    // Walk up to the nearest ancestor that still holds its descriptor, then down again one
    // component at a time, holding at most two descriptors.
    std::vector<const SharedFolderHandle*> chain;
    const SharedFolderHandle* node = this;
    while (node->fd_ < 0 && node->parent_) {
        chain.push_back(node);
        node = node->parent_.get();
    }
    int base =
        node->fd_ >= 0 ? ::fcntl(node->fd_, F_DUPFD_CLOEXEC, 0) : openFolderPath(node->name_);
    for (auto it = chain.rbegin(); base >= 0 && it != chain.rend(); ++it) {
        int next = openAt(base, (*it)->name_, kChildFlags);
        ::close(base);
        base = next;
    }
    return base;
}

std::shared_ptr<SharedFolderHandle> SharedFolderHandle::openChild(std::string_view name) {
    std::string childName(name);
    int fd;
    if (fd_ >= 0) {
        fd = openAt(fd_, childName, kChildFlags);
    } else {
        int base = reopen();
        if (base < 0) return nullptr;
        fd = openAt(base, childName, kChildFlags);
        ::close(base);
    }
    if (fd < 0) return nullptr;
    std::shared_ptr<SharedFolderHandle> handle(new SharedFolderHandle);
    handle->fd_ = fd;
    handle->parent_ = shared_from_this();
    handle->name_ = std::move(childName);
    openHandles.fetch_add(1, std::memory_order_relaxed);
    return handle;
}

bool SharedFolderHandle::releaseIfCrowded() {
    if (fd_ < 0 || !parent_ ||
        openHandles.load(std::memory_order_relaxed) <= budget.load(std::memory_order_relaxed)) {
        return false;
    }
    ::close(fd_);
    fd_ = -1;
    openHandles.fetch_sub(1, std::memory_order_relaxed);
    return true;
}

void SharedFolderHandle::measureBudget() {
    // Half of what the process may open, so that the rest of the program keeps room.
    rlimit limit{};
    long value = 512;
    if (::getrlimit(RLIMIT_NOFILE, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY) {
        value = std::max(16L, static_cast<long>(limit.rlim_cur / 2));
    }
    budget.store(value, std::memory_order_relaxed);
}

}  // namespace quillby
