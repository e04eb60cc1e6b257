// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace quillby {

// Reads the entries of an open folder in large batches (getdents64), without "." and "..", in
// the order the file system gives them. The folder descriptor stays the caller's.
//
// Two ways to use it: stream one folder with next(), or read whole folders one after another
// with readAll(). A reader used the second way keeps its buffers, so a scan that holds one
// reader per thread does not allocate per folder.
class DirectoryReader {
  public:
    struct Entry {
        const char* name;    // valid until the next call to next()
        unsigned char type;  // DT_* as the file system reports it (DT_UNKNOWN when it does not)
    };
    struct ListedEntry {
        std::string_view name;  // valid until the next readAll()
        unsigned char type;     // DT_* as the file system reports it (DT_UNKNOWN when it does not)
    };

    // A reader for readAll().
    DirectoryReader() = default;
    // A reader streaming the folder open at `folderFd` with next().
    explicit DirectoryReader(int folderFd);

    // Every name in the folder, read before the caller changes it (a folder changed while it is
    // listed may skip entries). `error` (optional) gets errno when the listing stopped early.
    static std::vector<std::string> allNames(int folderFd, int* error = nullptr);

    // The next entry; false at the end or when reading fails (error() then gives errno).
    bool next(Entry& entry);
    int error() const { return error_; }

    // Reads every entry of the folder open at `fd`; false when a read failed (error() then gives
    // errno, and the entries read before the failure are kept).
    bool readAll(int fd);
    const std::vector<ListedEntry>& entries() const { return entries_; }

  private:
    static constexpr std::size_t kBlockSize = 64 * 1024;
    // A folder that once was huge does not keep its buffers for the rest of a scan.
    static constexpr std::size_t kBlocksKept = 16;

    // One getdents64 batch into `block`: its length, 0 at the end, -1 on failure (errno set).
    static long readBatch(int fd, char* block);
    char* block(std::size_t index);

    int fd_ = -1;
    std::vector<std::unique_ptr<char[]>> blocks_;
    std::vector<ListedEntry> entries_;
    std::size_t position_ = 0;
    std::size_t end_ = 0;
    int error_ = 0;
    bool exhausted_ = false;
};

}  // namespace quillby
