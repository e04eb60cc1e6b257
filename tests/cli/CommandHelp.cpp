// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/CommandHelp.h"

#include <sstream>

#include "cli/CliTestSupport.h"

namespace {

CommandHelp parseHelp(const std::string& text) {
    CommandHelp help;
    std::istringstream lines(text);
    std::string line, section;
    while (std::getline(lines, line)) {
        if (!line.empty() && line[0] != ' ' && line.back() == ':') {
            section = line;
            continue;
        }
        if (line.size() < 3 || line.compare(0, 2, "  ") != 0 || line[2] == ' ') continue;
        std::string first = line.substr(2, line.find(' ', 2) - 2);
        if (section == "Subcommands:") help.commands.push_back(first);
        if (section == "Options:") {
            std::istringstream names(first);
            for (std::string name; std::getline(names, name, ',');) help.options.push_back(name);
        }
    }
    return help;
}

void readInto(const CliHome& cli, const std::string& path,
              std::map<std::string, CommandHelp>& all) {
    std::vector<std::string> arguments;
    std::istringstream words(path);
    for (std::string word; words >> word;) arguments.push_back(word);
    arguments.push_back("--help");
    CommandHelp help = parseHelp(cli.run(arguments).out);
    all[path] = help;
    for (const auto& command : help.commands) {
        readInto(cli, path.empty() ? command : path + " " + command, all);
    }
}

}  // namespace

std::map<std::string, CommandHelp> readCommandHelp() {
    CliHome cli;
    std::map<std::string, CommandHelp> all;
    readInto(cli, "", all);
    return all;
}
