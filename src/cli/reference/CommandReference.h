// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <CLI/CLI.hpp>
#include <string>
#include <vector>

#include "cli/reference/ArgumentValues.h"

namespace quillby {

// One option or positional argument of a command, as the manual page and the completions see it.
struct ArgumentReference {
    std::vector<std::string> names;  // "-x", "--one-file-system"; a positional's own name
    std::string description;
    bool positional = false;
    bool takesValue = false;     // an option followed by a value
    bool valueOptional = false;  // the value may be left out (--watch [SECONDS])
    bool repeats = false;        // takes several values (ID..., --category N...)
    bool required = false;
    ArgumentValues values;
};

// One command with its options, positionals and subcommands, in the order they were defined.
struct CommandReference {
    std::vector<std::string> path;  // {"login-items", "add"}; empty for quillby itself
    std::string description;
    std::vector<ArgumentReference> options;
    std::vector<ArgumentReference> positionals;
    std::vector<CommandReference> commands;

    // The words of `path` joined by spaces.
    std::string pathText() const;
};

// The whole command tree of `app`, help options included.
CommandReference describeCommandLine(const CLI::App& app);

}  // namespace quillby
