#pragma once

#include <sys/stat.h>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

// Reads a file's content chunk by chunk for checksums and comparisons, leaving the page cache as
// it found it: a chunk the cache already holds is taken from it, a chunk it does not hold is
// read from the disk and then dropped again, so a search neither evicts what the user had
// cached nor fills the cache with what it read. One reader (and its 4 MiB buffer) serves one
// thread; it reads one file at a time.
class FileContentReader {
  public:
    static constexpr std::size_t ChunkSize = 0x400000;

    FileContentReader();
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
    // The file's attributes when it was opened (size, device and inode among them).
    const struct stat& status() const { return status_; }

    // Reads up to `count` bytes (at most ChunkSize) following the previous read into buffer().
    // Gives the number of bytes read, fewer than asked only at the end of the file, or -1 on a
    // read error (error() holds its errno); a failed read leaves nothing usable in the buffer.
    std::int64_t readChunk(std::size_t count = ChunkSize);
    const unsigned char* buffer() const { return buffer_.get(); }
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

    std::unique_ptr<unsigned char[]> buffer_;
    int fd_ = -1;
    int folderFd_ = -1;
    std::string folderPath_;
    struct stat status_ {};
    std::uint64_t offset_ = 0;
    bool canProbeCache_ = true;
    bool readAheadOff_ = false;
    int error_ = 0;
};
