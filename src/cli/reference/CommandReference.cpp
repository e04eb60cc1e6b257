// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/reference/CommandReference.h"

namespace quillby {

namespace {

ArgumentReference describeArgument(const CLI::Option& option, const std::string& commandPath) {
    ArgumentReference argument;
    argument.positional = option.get_positional();
    argument.description = option.get_description();
    argument.required = option.get_required();
    argument.repeats = option.get_items_expected_max() > 1;
    if (argument.positional) {
        argument.names.push_back(option.get_name());
    } else {
        for (const auto& name : option.get_snames()) argument.names.push_back("-" + name);
        for (const auto& name : option.get_lnames()) argument.names.push_back("--" + name);
        argument.takesValue = option.get_expected_max() > 0;
        argument.valueOptional = argument.takesValue && option.get_expected_min() == 0;
    }
    std::string name = argument.positional ? argument.names.front() : argument.names.back();
    argument.values = argumentValues(commandPath, name, option.get_type_name());
    return argument;
}

CommandReference describeCommand(const CLI::App& app, std::vector<std::string> path) {
    CommandReference command;
    command.path = std::move(path);
    command.description = app.get_description();
    std::string pathText = command.pathText();
    for (const CLI::Option* option : app.get_options()) {
        ArgumentReference argument = describeArgument(*option, pathText);
        (argument.positional ? command.positionals : command.options).push_back(argument);
    }
    for (const CLI::App* sub : app.get_subcommands([](const CLI::App*) { return true; })) {
        std::vector<std::string> subPath = command.path;
        subPath.push_back(sub->get_name());
        command.commands.push_back(describeCommand(*sub, subPath));
    }
    return command;
}

}  // namespace

std::string CommandReference::pathText() const {
    std::string text;
    for (const auto& word : path) text += (text.empty() ? "" : " ") + word;
    return text;
}

CommandReference describeCommandLine(const CLI::App& app) {
    return describeCommand(app, {});
}

}  // namespace quillby
