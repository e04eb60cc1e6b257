// SPDX-License-Identifier: GPL-3.0-or-later
#include "duplicates/FileContentReader.h"

#include <fcntl.h>
#include <sys/uio.h>
#include <unistd.h>
#include <algorithm>
#include <cerrno>
#include <string_view>

#include "core/fs/LongPath.h"

namespace quillby {

namespace {

constexpr std::uint64_t kPageSize = 4096;
constexpr std::uint64_t kFirstReadAhead = 4 << 20;

// cachestat(2) (Linux 6.5), which the C library does not wrap yet: how many pages of a range
// the page cache holds, without bringing any in.
constexpr long kCacheStatCall = 451;
struct CacheStatRange {
    std::uint64_t offset;
    std::uint64_t length;  // 0: to the end of the file
};
struct CacheStat {
    std::uint64_t cached;
    std::uint64_t dirty;
    std::uint64_t writeback;
    std::uint64_t evicted;
    std::uint64_t recentlyEvicted;
};

// How many pages of the range [offset, offset + length) the page cache holds (length 0: to the
// end); false when the kernel cannot tell.
bool cachedPages(int fd, std::uint64_t offset, std::uint64_t length, std::uint64_t& cached) {
    CacheStatRange range{offset, length};
    CacheStat stat{};
    if (::syscall(kCacheStatCall, fd, &range, &stat, 0) != 0) return false;
    cached = stat.cached;
    return true;
}

// True when the kernel says no page of the range is cached. A probing read cannot tell this
// reliably: the read it starts for missing pages may finish before it looks again.
bool surelyUncached(int fd, std::uint64_t offset, std::uint64_t length) {
    std::uint64_t start = offset & ~(kPageSize - 1);
    std::uint64_t cached = 0;
    return cachedPages(fd, start, offset + length - start, cached) && cached == 0;
}

// Drops the pages of a range this reader brought in.
void dropPages(int fd, std::uint64_t offset, std::uint64_t length) {
    ::posix_fadvise(fd, static_cast<off_t>(offset), static_cast<off_t>(length),
                    POSIX_FADV_DONTNEED);
}

int openForReading(int folder, const char* name) {
    // O_NONBLOCK keeps a fifo or device that replaced a listed file from blocking the open; it
    // does nothing to reads of regular files.
    const int flags = O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC;
    int fd = ::openat(folder, name, flags | O_NOATIME);
    if (fd < 0 && errno == EPERM) fd = ::openat(folder, name, flags);  // not the owner
    return fd;
}

}  // namespace

FileContentReader::FileContentReader(std::size_t capacity)
    : capacity_(std::clamp<std::size_t>(capacity, kPageSize, ChunkSize)),
      buffer_(new unsigned char[capacity_]) {}

FileContentReader::~FileContentReader() {
    close();
    if (folderFd_ >= 0) ::close(folderFd_);
}

int FileContentReader::folderOf(const std::string& path, std::string& name) {
    // Files are mostly read folder by folder: keeping the folder open spares the kernel the
    // lookup of every path component for every file.
    size_t slash = path.rfind('/');
    if (slash == std::string::npos) {
        name = path;
        return AT_FDCWD;
    }
    name = path.substr(slash + 1);
    std::string_view folder(path.data(), slash == 0 ? 1 : slash);
    if (folderFd_ >= 0 && folder == folderPath_) return folderFd_;
    if (folderFd_ >= 0) ::close(folderFd_);
    folderPath_.assign(folder);
    folderFd_ = openLongPath(folderPath_, O_PATH | O_DIRECTORY | O_CLOEXEC);
    if (folderFd_ < 0) folderPath_.clear();
    return folderFd_;
}

bool FileContentReader::openDescriptor(const std::string& path) {
    close();
    std::string name;
    int folder = folderOf(path, name);
    return adoptDescriptor(folder >= 0 || folder == AT_FDCWD
                               ? openForReading(folder, name.c_str())
                               : openForReading(AT_FDCWD, path.c_str()));
}

bool FileContentReader::adoptDescriptor(int fd) {
    fd_ = fd;
    if (fd_ < 0) {
        error_ = errno;
        return false;
    }
    offset_ = 0;
    canProbeCache_ = true;
    readAheadOff_ = false;
    owned_ = false;
    return true;
}

bool FileContentReader::open(const std::string& path) {
    return openDescriptor(path) && checkRegularFile();
}

bool FileContentReader::openAt(int folderFd, const char* name) {
    close();
    return adoptDescriptor(openForReading(folderFd, name)) && checkRegularFile();
}

bool FileContentReader::checkRegularFile() {
    if (::fstat(fd_, &status_) != 0) {
        error_ = errno;
        close();
        return false;
    }
    if (!S_ISREG(status_.st_mode)) {
        error_ = EINVAL;
        close();
        return false;
    }
    return true;
}

bool FileContentReader::openListed(const std::string& path, std::uint64_t listedSize) {
    if (!openDescriptor(path)) return false;
    status_ = {};
    status_.st_mode = S_IFREG;
    status_.st_size = static_cast<off_t>(listedSize);
    return true;
}

void FileContentReader::close() {
    if (fd_ >= 0) {
        // Read-ahead may have gone past where reading stopped.
        if (owned_) dropPages(fd_, ownedFrom_, 0);
        ::close(fd_);
    }
    fd_ = -1;
    owned_ = false;
}

bool FileContentReader::restIsUncached() const {
    std::uint64_t cached = 0;
    return cachedPages(fd_, offset_ & ~(kPageSize - 1), 0, cached) && cached == 0;
}

void FileContentReader::willReadToEnd() {
    if (fd_ < 0 || owned_ || !restIsUncached()) return;  // read chunk by chunk, probing
    owned_ = true;
    ownedFrom_ = offset_ & ~(kPageSize - 1);
    ::posix_fadvise(fd_, 0, 0, POSIX_FADV_SEQUENTIAL);
    // The first reads are asked for at once; sequential read-ahead keeps the rest coming.
    ::posix_fadvise(fd_, static_cast<off_t>(ownedFrom_), static_cast<off_t>(kFirstReadAhead),
                    POSIX_FADV_WILLNEED);
}

std::int64_t FileContentReader::readOwned(std::size_t count) {
    std::size_t done = 0;
    while (done < count) {
        std::int64_t got = readUncached(buffer_.get() + done, count - done);
        if (got < 0) return -1;
        if (got == 0) break;
        done += static_cast<std::size_t>(got);
    }
    return static_cast<std::int64_t>(done);
}

std::int64_t FileContentReader::readChunk(std::size_t count) {
    if (fd_ < 0) {
        error_ = EBADF;
        return -1;
    }
    if (count > capacity_) count = capacity_;
    if (owned_) return readOwned(count);
    const auto fileSize = static_cast<std::uint64_t>(status_.st_size);
    if (!readAheadOff_ && offset_ + count < fileSize) {
        // Without read-ahead the only pages brought into the cache are those asked for (a
        // probe for cached pages starts reading what it misses), so a page that a later chunk
        // finds cached was cached by someone else and is left alone. A read to the end of the
        // file needs no such care: read-ahead stops at the end.
        ::posix_fadvise(fd_, 0, 0, POSIX_FADV_RANDOM);
        readAheadOff_ = true;
    }
    std::size_t done = 0;
    while (done < count) {
        if (canProbeCache_ && !surelyUncached(fd_, offset_, count - done)) {
            iovec part{buffer_.get() + done, count - done};
            ssize_t got = ::preadv2(fd_, &part, 1, static_cast<off_t>(offset_), RWF_NOWAIT);
            if (got > 0) {
                done += static_cast<std::size_t>(got);
                offset_ += static_cast<std::uint64_t>(got);
                if (offset_ >= fileSize && done < count) break;  // the end: no need to ask again
                continue;
            }
            if (got == 0) break;  // end of file
            if (errno == EINTR) continue;
            if (errno == EOPNOTSUPP || errno == EINVAL || errno == ENOSYS) {
                canProbeCache_ = false;  // this file system cannot tell; read plainly
            } else if (errno != EAGAIN) {
                error_ = errno;
                return -1;
            }
        }
        std::int64_t got = readUncached(buffer_.get() + done, count - done);
        if (got < 0) return -1;
        if (got == 0) break;
        done += static_cast<std::size_t>(got);
        // A short plain read of a regular file means its end; no need to ask again.
        if (offset_ >= fileSize && done < count) break;
    }
    return static_cast<std::int64_t>(done);
}

std::int64_t FileContentReader::readUncached(unsigned char* into, std::size_t count) {
    ssize_t got;
    do {
        got = ::pread(fd_, into, count, static_cast<off_t>(offset_));
    } while (got < 0 && errno == EINTR);
    if (got < 0) {
        error_ = errno;
        return -1;
    }
    // Only drop what we know was not cached before: when the cache could not be probed, the
    // pages may have been the user's.
    if (got > 0 && (canProbeCache_ || owned_)) {
        dropFromCache(offset_, static_cast<std::uint64_t>(got));
    }
    offset_ += static_cast<std::uint64_t>(got);
    return got;
}

void FileContentReader::dropFromCache(std::uint64_t offset, std::uint64_t length) {
    // The kernel keeps partly covered pages, so the range is widened to whole pages; they were
    // all brought in by this read.
    std::uint64_t start = offset & ~(kPageSize - 1);
    std::uint64_t end = (offset + length + kPageSize - 1) & ~(kPageSize - 1);
    dropPages(fd_, start, end - start);
}

}  // namespace quillby
