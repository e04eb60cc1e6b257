// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <iosfwd>
#include <nlohmann/json_fwd.hpp>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/work/Asker.h"

namespace CLI {
class App;
}

namespace quillby {

// A command that cannot do what was asked: the message is printed as one line on standard
// error and the process ends with the status (2 for bad input, 1 for a failed operation). With
// no message, the status alone is the answer.

struct CliFailure : std::runtime_error {
    CliFailure(const std::string& message, int status)
        : std::runtime_error(message), status(status) {}
    int status;
};

inline CliFailure usageError(const std::string& message) {
    return CliFailure(message, 2);
}

// Parses the command line, runs the chosen command and maps every failure to its exit status.
int runCli(CLI::App& app, int argc, char** argv);

// Makes a command group refuse to run without one of its commands, naming them.
void requireCommand(CLI::App& group);

// Prints the value as JSON (see jsonText: names that are not UTF-8 stay readable back).
void printJson(const nlohmann::json& value);
// The same, keeping the order in which the keys were added.
void printOrderedJson(const nlohmann::ordered_json& value);

// Asks a yes-or-no question on the terminal; true only for "y" or "yes" in any case. The end of
// the input counts as no.
bool askYesNo(const std::string& question);

// A removal's follow-up questions on the terminal: the details, then the question, answered
// with y or n. Without a prompt (--yes) every question gets its safe answer, so nothing is
// deleted for good or run with rights that the user did not ask for.
class TerminalAsker final : public Asker {
  public:
    TerminalAsker(bool prompt, std::ostream& report) : prompt_(prompt), report_(report) {}
    bool askYesNo(const std::string& message, const std::string& details) override;
    void tell(const std::string& message, const std::string& details) override;

  private:
    bool prompt_;
    std::ostream& report_;
};

// Lines of cells with each column padded to its widest cell (the last column is not padded).
std::string formatTable(const std::vector<std::vector<std::string>>& rows);

}  // namespace quillby
