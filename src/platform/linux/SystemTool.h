// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <filesystem>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "core/work/ToolRunner.h"
#include "platform/PlatformContext.h"

namespace quillby {

// A command-line tool of the system (dpkg-query, flatpak, snap), found on the context's search
// path and run without a shell in the C locale, so that its output can be read.
class SystemTool {
  public:
    // The tool called `name` on the context's search path, or nothing.
    static std::optional<SystemTool> find(const std::string& name, const PlatformContext& context);

    explicit SystemTool(std::filesystem::path program) : program_(std::move(program)) {}

    // Runs the tool with `arguments`; killed after `timeoutSeconds` when that is above 0.
    ToolRunResult run(const std::vector<std::string>& arguments, int timeoutSeconds = 0) const;
    // What a failed run said: the last line of its standard error, else of its output, else its
    // exit status.
    static std::string failureText(const ToolRunResult& result);
    // True for an absolute path without a line end: one a tool can take and print on one line.
    static bool isOneLinePath(const std::string& path);
    // Appends to `arguments` each of `paths` that isOneLinePath accepts, passed through
    // `asArgument`; returns the accepted paths.
    static std::set<std::string> appendOneLinePaths(
        const std::vector<std::string>& paths, std::vector<std::string>& arguments,
        std::string (*asArgument)(const std::string&) = nullptr);

    const std::filesystem::path& program() const { return program_; }

  private:
    std::filesystem::path program_;
};

}  // namespace quillby
