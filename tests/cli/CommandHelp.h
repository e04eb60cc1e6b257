// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <map>
#include <string>
#include <vector>

// What `quillby ... --help` lists for one command: its subcommands and its option names.
struct CommandHelp {
    std::vector<std::string> commands;
    std::vector<std::string> options;  // every spelling: "-x", "--one-file-system"
};

// Every command reachable from `quillby --help`, keyed by its words ("" for quillby itself,
// "login-items add"), read by running the real program.
std::map<std::string, CommandHelp> readCommandHelp();
