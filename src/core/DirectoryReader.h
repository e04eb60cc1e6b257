#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

// Reads the entries of an open folder in large batches (getdents64), without "." and "..".
// The folder descriptor stays the caller's.
class DirectoryReader {
  public:
    struct Entry {
        const char* name;    // valid until the next call to next()
        unsigned char type;  // DT_* as the file system reports it (DT_UNKNOWN when it does not)
    };

    explicit DirectoryReader(int folderFd);

    // Every name in the folder, read before the caller changes it (a folder changed while it is
    // listed may skip entries). `error` (optional) gets errno when the listing stopped early.
    static std::vector<std::string> allNames(int folderFd, int* error = nullptr);

    // The next entry; false at the end or when reading fails (error() then gives errno).
    bool next(Entry& entry);
    int error() const { return error_; }

  private:
    static constexpr std::size_t kBufferSize = 32768;
    int fd_;
    std::unique_ptr<char[]> buffer_;
    std::size_t position_ = 0;
    std::size_t end_ = 0;
    int error_ = 0;
    bool exhausted_ = false;
};
