// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>

#include "diskusage/ScanFileEntry.h"

namespace quillby {

// Writes a scan file (the ncdu export format 1.2) to a descriptor as it is told the items,
// depth first, through a buffer of its own. Names are written byte for byte: only quotes,
// backslashes and control characters are escaped, so a name that is not UTF-8 reads back as
// the bytes it is (the way ncdu writes such names).
class ScanFileWriter {
  public:
    // Writes to `fd`, which stays open; nothing is written before begin().
    explicit ScanFileWriter(int fd);
    ScanFileWriter(const ScanFileWriter&) = delete;
    ScanFileWriter& operator=(const ScanFileWriter&) = delete;

    // The header: version 1.2 and the metadata's program, version and timestamp.
    void begin(const ScanFileMetadata& metadata);
    // A folder begins; what follows until its closeFolder() is inside it.
    void openFolder(const ScanFileEntry& folder);
    void addFile(const ScanFileEntry& file);
    // Entries made earlier by appendFile, as they are.
    void addWritten(std::string_view files);
    void closeFolder();
    // Closes the top-level array and writes out the buffer. False when any write failed
    // (errno as the failing write left it, also in writeError()).
    bool finish();
    int writeError() const { return error_; }

    // Appends one file's entry, with its leading separator, for addWritten.
    static void appendFile(std::string& out, const ScanFileEntry& file);

  private:
    static void appendInfo(std::string& out, const ScanFileEntry& entry);
    void flushIfFull();
    void flush();

    int fd_;
    int error_ = 0;
    std::string buffer_;
};

}  // namespace quillby
