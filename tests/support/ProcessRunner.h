#pragma once

#include <map>
#include <string>
#include <vector>

struct ProcessResult {
    int status = -1;  // exit status, or 128 + signal
    std::string out;
    std::string err;
};

// Runs a program with the given arguments, a clean environment holding only `environment` (plus
// PATH and the sanitizers' options), and `input` on its standard input; waits for it.
ProcessResult runProcess(const std::string& program, const std::vector<std::string>& arguments,
                         const std::map<std::string, std::string>& environment,
                         const std::string& input = "");
