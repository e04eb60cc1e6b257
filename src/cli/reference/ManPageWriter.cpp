// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/reference/ManPageWriter.h"

namespace quillby {

namespace {

bool isHelp(const ArgumentReference& option) {
    return !option.names.empty() && option.names.back() == "--help";
}

std::string bold(const std::string& text) {
    return "\\fB" + ManPageWriter::escape(text) + "\\fR";
}

std::string italic(const std::string& text) {
    return "\\fI" + ManPageWriter::escape(text) + "\\fR";
}

std::string optionTerm(const ArgumentReference& option) {
    std::string term;
    for (const auto& name : option.names) term += (term.empty() ? "" : ", ") + bold(name);
    if (option.takesValue) {
        std::string value = italic(option.values.valueName);
        term += " " + (option.valueOptional ? "[" + value + "]" : value);
        if (option.repeats) term += "...";
    }
    return term;
}

std::string synopsis(const CommandReference& command) {
    std::string line = bold("quillby " + command.pathText());
    if (!command.commands.empty()) return line + " " + italic("COMMAND");
    for (const auto& option : command.options) {
        if (isHelp(option)) continue;
        line += " [" + optionTerm(option) + "]";
    }
    for (const auto& positional : command.positionals) {
        std::string value = italic(positional.values.valueName) + (positional.repeats ? "..." : "");
        line += " " + (positional.required ? value : "[" + value + "]");
    }
    return line;
}

std::string paragraph(const std::string& term, const std::string& text) {
    return ".TP\n" + term + "\n" + ManPageWriter::escape(text) + "\n";
}

void writeCommand(const CommandReference& command, std::string& out) {
    out += ".SS \"" + ManPageWriter::escape("quillby " + command.pathText()) + "\"\n";
    out += synopsis(command) + "\n.br\n";
    std::string sentence = command.description;
    if (!sentence.ends_with('.')) sentence += '.';
    out += ManPageWriter::escape(sentence) + "\n";
    for (const auto& positional : command.positionals) {
        out += paragraph(italic(positional.values.valueName), positional.description);
    }
    for (const auto& option : command.options) {
        if (!isHelp(option)) out += paragraph(optionTerm(option), option.description);
    }
    for (const auto& sub : command.commands) writeCommand(sub, out);
}

}  // namespace

std::string ManPageWriter::escape(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '\\') {
            out += "\\e";
        } else if (c == '-') {
            out += "\\-";
        } else {
            if ((c == '.' || c == '\'') && (out.empty() || out.back() == '\n')) out += "\\&";
            out += c;
        }
    }
    return out;
}

std::string ManPageWriter::options(const CommandReference& root) {
    std::string out;
    for (const auto& option : root.options)
        out += paragraph(optionTerm(option), option.description);
    return out;
}

std::string ManPageWriter::commands(const CommandReference& root) {
    std::string out;
    for (const auto& command : root.commands) writeCommand(command, out);
    return out;
}

}  // namespace quillby
