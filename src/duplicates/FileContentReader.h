// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <sys/stat.h>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace quillby {

// Reads a file's content chunk by chunk for checksums and comparisons, leaving the page cache as
// it found it: a chunk the cache already holds is taken from it, a chunk it does not hold is
// read from the disk and then dropped again, so a search neither evicts what the user had
// cached nor fills the cache with what it read. One reader (and its buffer, 4 MiB unless asked
// smaller) serves one thread; it reads one file at a time.
class FileContentReader {
  public:
    static constexpr std::size_t ChunkSize = 0x400000;

    // `capacity` bytes of buffer (at most ChunkSize): the most one readChunk() gives.
    explicit FileContentReader(std::size_t capacity = ChunkSize);
    ~FileContentReader();
    FileContentReader(const FileContentReader&) = delete;
    FileContentReader& operator=(const FileContentReader&) = delete;

    // Opens a regular file for reading from its start, without following a link in its last
    // component and without changing its access time where allowed. False (see error()) when it
    // cannot be opened or is not a regular file; a reader that was open is closed first.
    bool open(const std::string& path);
    // The same for the entry `name` of an open folder (a descriptor), never through a link.
    bool openAt(int folderFd, const char* name);
    // Opens a file that a listing just found to be a regular file of `listedSize` bytes, without
    // asking for its attributes again: the search opens tens of thousands of files. status()
    // then holds only that size. A fifo or folder put in its place since fails at the first
    // read; the size only decides when to stop asking for more.
    bool openListed(const std::string& path, std::uint64_t listedSize);
    void close();
    bool isOpen() const { return fd_ >= 0; }
    // The open file's descriptor (-1 when none), for asking the file system about it.
    int descriptor() const { return fd_; }
    // The file's attributes when it was opened (size, device and inode among them).
    const struct stat& status() const { return status_; }

    // The next read starts at `offset` (a file whose start is already known is read on from
    // there).
    void skipTo(std::uint64_t offset) { offset_ = offset; }
    // Says that the open file will be read to its end from here. When none of that is cached,
    // it is this reader's alone: the kernel then reads ahead of the reader, so that the disk
    // always has requests queued, and the reader drops it from the cache as it goes.
    void willReadToEnd();

    // Reads up to `count` bytes (at most capacity()) following the previous read into buffer().
    // Gives the number of bytes read, fewer than asked only at the end of the file, or -1 on a
    // read error (error() holds its errno); a failed read leaves nothing usable in the buffer.
    std::int64_t readChunk(std::size_t count = ChunkSize);
    const unsigned char* buffer() const { return buffer_.get(); }
    std::size_t capacity() const { return capacity_; }
    // The errno of the last failure of open() or readChunk().
    int error() const { return error_; }

  private:
    bool openDescriptor(const std::string& path);
    // Takes `fd` as the file to read from its start; false (with the errno) when it is -1.
    bool adoptDescriptor(int fd);
    // Reads the open file's attributes; closes it unless it is a regular file.
    bool checkRegularFile();
    int folderOf(const std::string& path, std::string& name);
    std::int64_t readUncached(unsigned char* into, std::size_t count);
    void dropFromCache(std::uint64_t offset, std::uint64_t length);
    std::int64_t readOwned(std::size_t count);
    bool restIsUncached() const;

    std::size_t capacity_;
    std::unique_ptr<unsigned char[]> buffer_;
    int fd_ = -1;
    int folderFd_ = -1;
    std::string folderPath_;
    struct stat status_ {};
    std::uint64_t offset_ = 0;
    bool canProbeCache_ = true;
    bool readAheadOff_ = false;
    // The rest of the file, from ownedFrom_, was not cached: what is read there is dropped.
    bool owned_ = false;
    std::uint64_t ownedFrom_ = 0;
    int error_ = 0;
};

}  // namespace quillby
