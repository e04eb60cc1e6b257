// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "diskusage/ByteSource.h"
#include "diskusage/ScanFileEntry.h"

namespace quillby {

// What a scan file's reader hands its items to, in file order (depth first). A method returns
// false to stop the reading; `refusal` then says why in one line (a file that describes
// something impossible), or `stopped` is set (the caller asked to stop).
class ScanFileSink {
  public:
    virtual ~ScanFileSink() = default;
    virtual void header(const ScanFileMetadata&) {}
    // A folder begins; what follows until the matching leaveFolder() is inside it. The first
    // folder is the scanned one, its name a whole path.
    virtual bool enterFolder(const ScanFileEntry& folder) = 0;
    virtual bool addFile(const ScanFileEntry& file) = 0;
    virtual bool leaveFolder() = 0;

    std::string refusal;
    bool stopped = false;
};

// How much of a file the reader takes before it refuses it.
struct ScanFileLimits {
    std::size_t nameBytes = 65536;    // a name longer than this is refused as it streams in
    std::size_t folderDepth = 65536;  // folders nested deeper are refused
    std::size_t unknownDepth = 64;    // nesting inside values of fields the reader skips
};

// Reads a scan file (the ncdu export format, major version 1, as ncdu and gdu write it) from a
// byte source a piece at a time: it never holds more of the text than its buffer and the
// current name, and nesting is followed on an explicit stack, never by recursion. Any input is
// either read or refused with a reason; nothing in it can make the reader fail otherwise.
class ScanFileReader {
  public:
    enum class Outcome {
        Read,         // the whole file was read and handed to the sink
        NotScanFile,  // the text is not a scan file (or the sink refused what it describes)
        ReadFailed,   // the source failed; `readError` is its errno
        Stopped,      // the sink asked to stop
    };
    struct Result {
        Outcome outcome = Outcome::Read;
        std::string message;  // one line, for Outcome::NotScanFile and ReadFailed
        int readError = 0;
    };

    explicit ScanFileReader(ByteSource& source, ScanFileLimits limits = {});
    ~ScanFileReader();
    ScanFileReader(const ScanFileReader&) = delete;
    ScanFileReader& operator=(const ScanFileReader&) = delete;

    Result read(ScanFileSink& sink);

  private:
    class Parser;
    ByteSource& source_;
    ScanFileLimits limits_;
};

}  // namespace quillby
