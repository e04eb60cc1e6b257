#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

#include "core/FileLog.h"

// Reads and writes the one-line history record ".orvane.log.bin" in the program's data folder:
// "logName=%s&&date=%s&&iSize=%llu".
class ParseFileLog {
  public:
    // The record lives in `folder`, by default the program's data folder.
    ParseFileLog();
    explicit ParseFileLog(std::filesystem::path folder);

    // The record's path; creates the folder (and its parents) when missing.
    std::filesystem::path getLogFilePath() const;

    static std::string parseLogToString(const FileLog& log);
    // Fills the record from a file text; pieces that do not parse leave their field alone.
    static void parseStringToLog(std::string_view text, FileLog& log);

    // Fills the record from the file: 0 bytes dated now, kind "FILE SIZE", when there is none.
    void readFileLog(const std::string& name, FileLog& log) const;
    // Replaces the file with the record; true on success (the old record stays on failure).
    bool writeFileLog(const std::string& name, const std::string& fileName,
                      const FileLog& log) const;

    // The stored byte count, and the stored date when asked for.
    std::uint64_t getSize(std::optional<FileLog::Date>* date = nullptr) const;
    // Stores a "SIZE" record; true on success.
    bool setSize(std::uint64_t size, FileLog::Date date) const;

  private:
    std::filesystem::path folder_;
};
