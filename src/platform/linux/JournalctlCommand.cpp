// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/linux/JournalctlCommand.h"

#include <cmath>
#include <cstdlib>
#include <string_view>

#include "core/events/Log.h"
#include "platform/linux/SystemTool.h"

namespace quillby {

std::optional<std::uint64_t> JournalctlCommand::parseDiskUsage(const std::string& text) {
    constexpr std::string_view marker = "take up ";
    std::size_t at = text.find(marker);
    if (at == std::string::npos) return std::nullopt;
    const char* start = text.c_str() + at + marker.size();
    char* end = nullptr;
    double number = std::strtod(start, &end);
    if (end == start || !(number >= 0)) return std::nullopt;
    constexpr std::string_view units = "BKMGTPE";
    std::size_t power = units.find(*end);
    if (*end == '\0' || power == std::string_view::npos) return std::nullopt;
    return static_cast<std::uint64_t>(std::llround(number * std::pow(1024.0, power)));
}

std::optional<std::uint64_t> JournalctlCommand::diskUsage() {
    auto journalctl = SystemTool::find("journalctl", context_);
    if (!journalctl) return std::nullopt;
    ToolRunResult result = journalctl->run({"--disk-usage"}, 60);
    if (!result.started || result.timedOut || result.status != 0) {
        QWLog("journalctl --disk-usage failed: %s", SystemTool::failureText(result).c_str());
        return std::nullopt;
    }
    return parseDiskUsage(result.output);
}

}  // namespace quillby
