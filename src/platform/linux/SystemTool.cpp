// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/linux/SystemTool.h"

#include <unistd.h>

#include "core/text/PlainText.h"

namespace quillby {

namespace fs = std::filesystem;

std::optional<SystemTool> SystemTool::find(const std::string& name,
                                           const PlatformContext& context) {
    for (const auto& folder : context.executableSearchPath) {
        fs::path candidate = folder / name;
        std::error_code error;
        if (fs::is_regular_file(candidate, error) && ::access(candidate.c_str(), X_OK) == 0) {
            return SystemTool(candidate);
        }
    }
    return std::nullopt;
}

ToolRunResult SystemTool::run(const std::vector<std::string>& arguments, int timeoutSeconds) const {
    ToolRunOptions options;
    options.environment = ToolRunner::environmentWith({"LC_ALL=C", "LANGUAGE="});
    options.timeoutSeconds = timeoutSeconds;
    return ToolRunner::run(program_.string(), arguments, options);
}

std::string SystemTool::failureText(const ToolRunResult& result) {
    if (!result.started) return "could not be started";
    if (result.timedOut) return "did not answer in time";
    for (const std::string* text : {&result.errors, &result.output}) {
        auto lines = splitText(*text, "\n");
        for (auto line = lines.rbegin(); line != lines.rend(); ++line) {
            if (!line->empty()) return *line;
        }
    }
    return "ended with status " + std::to_string(result.status);
}

bool SystemTool::isOneLinePath(const std::string& path) {
    return !path.empty() && path.front() == '/' && path.find('\n') == std::string::npos;
}

std::set<std::string> SystemTool::appendOneLinePaths(
    const std::vector<std::string>& paths, std::vector<std::string>& arguments,
    std::string (*asArgument)(const std::string&)) {
    std::set<std::string> accepted;
    for (const auto& path : paths) {
        if (!isOneLinePath(path)) continue;
        arguments.push_back(asArgument ? asArgument(path) : path);
        accepted.insert(path);
    }
    return accepted;
}

}  // namespace quillby
