// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>
#include <map>
#include <string>
#include <vector>

struct ProcessResult {
    int status = -1;  // exit status, or 128 + signal
    std::string out;
    std::string err;
    bool killedAtDeadline = false;
};

// Runs a program with the given arguments, a clean environment holding only `environment` (plus
// PATH and the sanitizers' options), and `input` on its standard input; waits for it. A program
// still running at `deadline` (when given) is killed, so that a hang fails a test instead of
// stopping the suite.
ProcessResult runProcess(const std::string& program, const std::vector<std::string>& arguments,
                         const std::map<std::string, std::string>& environment,
                         const std::string& input = "",
                         std::chrono::seconds deadline = std::chrono::seconds::zero());
