// SPDX-License-Identifier: GPL-3.0-or-later
#include "helper/JournalVacuum.h"

#include <unistd.h>
#include <algorithm>
#include <cstdint>

#include "clean/SystemCleanFolders.h"
#include "core/work/ToolRunner.h"

namespace quillby {

namespace JournalVacuum {

std::string systemTool() {
    for (const char* candidate : {"/usr/bin/journalctl", "/bin/journalctl"}) {
        if (::access(candidate, X_OK) == 0) return candidate;
    }
    return "";
}

std::string vacuum(const std::string& argument, const std::string& journalctl) {
    constexpr std::uint64_t kMinimum =
        static_cast<std::uint64_t>(SystemCleanFolders::kJournalLimitMinimumMegabytes) * 1000 * 1000;
    bool digits =
        !argument.empty() && argument.size() <= 18 &&
        std::all_of(argument.begin(), argument.end(), [](char c) { return c >= '0' && c <= '9'; });
    if (!digits || std::stoull(argument) < kMinimum) {
        return "error not a journal size of at least " +
               std::to_string(SystemCleanFolders::kJournalLimitMinimumMegabytes) + " MB";
    }
    if (journalctl.empty()) return "error journalctl is not installed";
    ToolRunOptions options;
    options.environment = std::vector<std::string>{"LC_ALL=C", "PATH=/usr/bin:/bin"};
    options.timeoutSeconds = 300;
    ToolRunResult result = ToolRunner::run(journalctl, {"--vacuum-size=" + argument}, options);
    if (result.started && !result.timedOut && result.status == 0) return "ok";
    if (!result.started) return "error journalctl could not be started";
    if (result.timedOut) return "error journalctl did not finish in time";
    std::string said = result.errors.empty() ? result.output : result.errors;
    while (!said.empty() && (said.back() == '\n' || said.back() == ' ')) said.pop_back();
    std::size_t lineStart = said.rfind('\n');
    if (lineStart != std::string::npos) said.erase(0, lineStart + 1);
    return "error journalctl: " +
           (said.empty() ? "ended with status " + std::to_string(result.status) : said);
}

}  // namespace JournalVacuum

}  // namespace quillby
