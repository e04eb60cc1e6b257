// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

#include "platform/VolumeFacts.h"

namespace quillby {

// The diagnostic log "orvane.log" in the program's data folder, into which the desktop program
// sends every log line. A new or empty log starts with a hardware report.
class DiagnosticLog {
  public:
    // 20 MiB; a larger log is emptied when the desktop program starts.
    static constexpr std::uint64_t kMaximumSize = 20971520;

    // The log's path: in the program's data folder (created when missing), else in the user's
    // runtime folder when that is the user's alone (0700). Nothing when neither can hold it (a
    // shared folder such as /tmp could hold a file or link of anyone's in its place) or when the
    // home belongs to another user (UserHome::refusal).
    static std::optional<std::filesystem::path> logFilePath(const std::string& fileName);

    // Points standard error (and so every log line) at the file in append mode and writes the
    // header into a new log; first empties an oversized log when `trimOversized` (the desktop
    // program's start, never a process that shares the log with it). Standard error stays as it
    // was when there is no log file, or when something other than the user's own plain file
    // stands in its place (see openOwnFile).
    static void setLogFile(const std::string& fileName, bool trimOversized);
    // Empties the opened log when it is larger than 20 MiB. The open file is judged, never the
    // path, which could meanwhile name something else.
    static void trimLog(int fd);
    // Writes "Orvane Log file: <path>" and the hardware report when the opened log is empty.
    static void logSysInfo(int fd, const std::filesystem::path& path);
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

}  // namespace quillby
