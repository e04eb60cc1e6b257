// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/events/FileLog.h"

#include <cstdio>
#include <ctime>

namespace quillby {

std::string dateDescription(FileLog::Date date) {
    std::time_t seconds = std::chrono::system_clock::to_time_t(date);
    std::tm utc{};
    gmtime_r(&seconds, &utc);
    char text[64];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S +0000", &utc);
    return text;
}

std::optional<FileLog::Date> parseDateDescription(std::string_view text) {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0, consumed = 0;
    char sign = 0;
    unsigned zone = 0;
    std::string copy(text);
    int fields = std::sscanf(copy.c_str(), "%4d-%2d-%2d %2d:%2d:%2d %c%4u%n", &year, &month, &day,
                             &hour, &minute, &second, &sign, &zone, &consumed);
    if (fields != 8 || static_cast<size_t>(consumed) != copy.size()) return std::nullopt;
    if ((sign != '+' && sign != '-') || copy.size() < 5 || month < 1 || month > 12 || day < 1 ||
        day > 31 || hour > 23 || minute > 59 || second > 60 || zone % 100 > 59) {
        return std::nullopt;
    }
    std::tm utc{};
    utc.tm_year = year - 1900;
    utc.tm_mon = month - 1;
    utc.tm_mday = day;
    utc.tm_hour = hour;
    utc.tm_min = minute;
    utc.tm_sec = second;
    std::time_t seconds = timegm(&utc);
    long offset = static_cast<long>(zone / 100) * 3600 + static_cast<long>(zone % 100) * 60;
    seconds -= sign == '+' ? offset : -offset;
    return std::chrono::system_clock::from_time_t(seconds);
}

}  // namespace quillby
