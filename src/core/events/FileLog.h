// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>

namespace quillby {

// The record of the last clean: how many bytes it recovered and when.
struct FileLog {
    using Date = std::chrono::system_clock::time_point;

    std::string logName;  // the record's kind: "SIZE" when written by a clean
    std::uint64_t iSize = 0;
    std::optional<Date> date = std::chrono::system_clock::now();
};

// "2013-05-06 02:20:30 +0000" (always written in UTC).
std::string dateDescription(FileLog::Date date);
// Reads "YYYY-MM-DD HH:MM:SS ±HHMM"; nothing when the text does not match.
std::optional<FileLog::Date> parseDateDescription(std::string_view text);

}  // namespace quillby
