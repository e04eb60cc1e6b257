// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <sys/types.h>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

#include "core/events/FileLog.h"

namespace quillby {

// Reads and writes the one-line history record ".orvane.log.bin" in the program's data folder:
// "logName=%s&&date=%s&&iSize=%llu".
class ParseFileLog {
  public:
    // The running user's record, in the program's data folder.
    ParseFileLog();
    // The record in `folder`, a file of this process's user.
    explicit ParseFileLog(std::filesystem::path folder);

    // The record's path. Reading creates nothing; writing creates the folder.
    std::filesystem::path getLogFilePath() const;

    static std::string parseLogToString(const FileLog& log);
    // Fills the record from a file text; pieces that do not parse leave their field alone.
    static void parseStringToLog(std::string_view text, FileLog& log);

    // Fills the record from the file: 0 bytes dated now, kind "FILE SIZE", when there is none.
    // Anything but the user's own small plain file leaves the record as it was (logged).
    void readFileLog(const std::string& name, FileLog& log) const;
    // Replaces the file with the record; true on success (the old record stays on failure).
    // Refused in the home of another user (UserHome::refusal).
    bool writeFileLog(const std::string& name, const std::string& fileName,
                      const FileLog& log) const;

    // The stored byte count, and the stored date when asked for.
    std::uint64_t getSize(std::optional<FileLog::Date>* date = nullptr) const;
    // Stores a "SIZE" record; true on success.
    bool setSize(std::uint64_t size, FileLog::Date date) const;

  private:
    std::filesystem::path folder_;
    uid_t owner_;
    std::string refusal_;  // why nothing may be written, or ""
};

}  // namespace quillby
