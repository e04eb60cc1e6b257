#pragma once

#include <memory>
#include <string_view>
#include <vector>

// The entries of one folder, read with getdents64 from an open descriptor, "." and ".." left
// out, in the order the file system gives them. One listing can be reused folder after folder:
// it keeps its buffers, so a scan does not allocate per folder.
class DirectoryListing {
  public:
    struct Entry {
        std::string_view name;  // valid until the next read
        unsigned char type;     // DT_DIR, DT_REG, DT_LNK, ... or DT_UNKNOWN
    };

    // Reads every entry of the folder open at `fd`; false when a read failed (the entries read
    // before the failure are kept).
    bool read(int fd);
    const std::vector<Entry>& entries() const { return entries_; }

  private:
    std::vector<std::unique_ptr<char[]>> blocks_;
    std::vector<Entry> entries_;
};
