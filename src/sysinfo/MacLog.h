#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

#include "platform/VolumeFacts.h"

// The diagnostic log "orvane.log" in the program's data folder, into which the desktop program
// sends every log line. A new or empty log starts with a hardware report.
class MacLog {
  public:
    // 20 MiB; a larger log is deleted when the desktop program starts.
    static constexpr std::uint64_t kMaximumSize = 20971520;

    // The log's path: the program's data folder (created when missing) and the file name.
    static std::filesystem::path logFilePath(const std::string& fileName);

    // Points standard error (and so every log line) at the file in append mode and writes the
    // header into a new log; first deletes an oversized log when `trimOversized` (the desktop
    // program's start, never a process that shares the log with it). Standard error stays as it
    // was when the file cannot be opened.
    static void setLogFile(const std::string& fileName, bool trimOversized);
    // Empties the user's own log file when it is larger than 20 MiB.
    static void deleteLog(const std::filesystem::path& path);
    // Writes "Orvane Log file: <path>" and the hardware report when the file is missing or empty.
    static void logSysInfo(const std::filesystem::path& path);
    // Logs the hardware report: the machine facts, then one line per mounted volume with its
    // sizes in GiB, "default volume" for the boot volume, and its device line.
    static void logComInfo();
    // A volume's facts in the log's attribute bits: 27 external bus, 25 removable, 0 ejectable.
    static unsigned volumeAttributeBits(const VolumeFacts& volume);

    // Sends this process's log lines to the log without touching standard error (the command
    // line, whose terminal output must stay its own); a new log gets the header first. Never
    // trims: the desktop program may be writing the same file.
    static void sendLogLinesTo(const std::string& fileName);
};
