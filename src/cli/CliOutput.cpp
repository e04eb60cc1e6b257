// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/CliOutput.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <cctype>
#include <cstdio>
#include <iostream>
#include <nlohmann/json.hpp>

#include "cli/StructuredOutput.h"

namespace quillby {

int runCli(CLI::App& app, int argc, char** argv) {
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& error) {
        if (error.get_exit_code() == 0) return app.exit(error);  // --help, --version
        std::fprintf(stderr, "quillby: %s\n", error.what());
        return 2;
    } catch (const CliFailure& failure) {
        std::fflush(stdout);
        // A status that is an answer (not an error) was already told on standard output.
        if (*failure.what()) std::fprintf(stderr, "quillby: %s\n", failure.what());
        return failure.status;
    }
    return 0;
}

void requireCommand(CLI::App& group) {
    group.callback([&group] {
        if (!group.get_subcommands().empty()) return;
        std::string names;
        for (const auto* command : group.get_subcommands({})) {
            names += (names.empty() ? "" : ", ") + command->get_name();
        }
        throw usageError((group.get_parent() ? group.get_name() + " needs one of: "
                                             : std::string("a command is needed: ")) +
                         names);
    });
}

void printJson(const nlohmann::json& value) {
    std::cout << jsonText(value) << '\n';
}

void printOrderedJson(const nlohmann::ordered_json& value) {
    std::cout << jsonText(value) << '\n';
}

bool askYesNo(const std::string& question) {
    std::cout << question << " [y/N] " << std::flush;
    std::string answer;
    if (!std::getline(std::cin, answer)) {
        std::cout << "\n";
        return false;
    }
    for (char& c : answer) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return answer == "y" || answer == "yes";
}

bool TerminalAsker::askYesNo(const std::string& message, const std::string& details) {
    if (!prompt_) return false;
    if (!details.empty()) std::cout << details << '\n';
    return quillby::askYesNo(message);
}

void TerminalAsker::tell(const std::string& message, const std::string& details) {
    report_ << message << '\n';
    if (!details.empty()) report_ << details << '\n';
}

std::string formatTable(const std::vector<std::vector<std::string>>& rows) {
    std::vector<size_t> widths;
    for (const auto& row : rows) {
        if (widths.size() < row.size()) widths.resize(row.size(), 0);
        for (size_t i = 0; i < row.size(); ++i) widths[i] = std::max(widths[i], row[i].size());
    }
    std::string text;
    for (const auto& row : rows) {
        std::string line;
        for (size_t i = 0; i < row.size(); ++i) {
            line += row[i];
            if (i + 1 < row.size()) line += std::string(widths[i] - row[i].size() + 2, ' ');
        }
        text += line + "\n";
    }
    return text;
}

}  // namespace quillby
