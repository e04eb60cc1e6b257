// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace quillby {

// What a tool run gave back.
struct ToolRunResult {
    bool started = false;  // false: the program could not be started (status stays -1)
    int status = -1;       // exit status, or 128 + signal
    bool timedOut = false;
    std::string output;  // standard output, up to the limit
    std::string errors;  // standard error, up to the limit
};

// How to run a tool.
struct ToolRunOptions {
    // The whole environment ("NAME=value"); nothing keeps the caller's.
    std::optional<std::vector<std::string>> environment;
    // Bytes kept of each stream; the rest is read and dropped so that the tool never blocks.
    std::size_t outputLimit = 16u << 20;
    // Seconds before the tool is killed; 0 waits as long as it takes.
    int timeoutSeconds = 0;
};

// Runs a program without a shell and collects what it prints. Standard input is /dev/null and no
// descriptor of the caller but the two pipes reaches the tool. POSIX only, so that the
// privileged helper can use it.
class ToolRunner {
  public:
    // Runs `program` (an absolute path) with `arguments` and waits for it to end.
    static ToolRunResult run(const std::string& program, const std::vector<std::string>& arguments,
                             const ToolRunOptions& options = {});

    // The caller's environment with `settings` ("NAME=value") put in place of the same names.
    static std::vector<std::string> environmentWith(const std::vector<std::string>& settings);
};

}  // namespace quillby
