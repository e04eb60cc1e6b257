// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace quillby {

// Size texts, the system version gate and the row-selection request, shared by every feature.
// Size texts are "%0.2f KB", "%0.2f MB" or "%0.2f GB", computed in single precision; several
// pages store such texts and read them back, so the rules here are exact.
class UtilityFunction {
  public:
    // Decimal units: up to 999 999 bytes in KB, up to 999 999 999 in MB, else GB (never TB).
    static std::string convertVolSpace(std::uint64_t bytes);
    // Power-of-two units for memory figures: KB below 2^20, MB below 2^30, else GB.
    static std::string covertCleanMemory(std::uint64_t bytes);
    // Integer steps of `base` (squares and cubes in 32-bit arithmetic); decimals are always 00.
    static std::string formatValue(std::uint64_t value, std::uint32_t base);
    // Reads a size text back with decimal multipliers (KB, MB, GB, TB); any other ending is 0.
    static std::uint64_t getVolSpaceFromString(std::string_view text);

    // True when the running system is older than major.minor.bugfix (logs the running one).
    static bool isBelowSystemVer(unsigned major, unsigned minor, unsigned bugfix);
    // The running system's version, 10.0.0 when it cannot be read (logged). Outputs may be null.
    static void getSystemVersionMajor(unsigned* major, unsigned* minor, unsigned* bugFix);

    // Asks the main window to select a feature row (posts "shouldSelectRow").
    static void callSelectNotificationForMainWindowLeft(std::int32_t row);
    // "2013-05-07 10:20:30 +0000" gives "05/07/2013 10:20:30".
    static std::string parseDateTime(std::string_view dateTime);
};

}  // namespace quillby
