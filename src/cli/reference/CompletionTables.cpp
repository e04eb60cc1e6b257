// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/reference/CompletionTables.h"

#include "clean/CleanCategory.h"
#include "core/settings/SettingsKeys.h"

namespace quillby {

namespace {

using Entry = std::pair<std::string, std::string>;             // a word and its description
using Described = std::pair<std::string, std::vector<Entry>>;  // a table key and its words

// One table per question a completion function asks, keyed by the command's words
// ("quillby settings get").
struct Tables {
    std::vector<Described> commands;  // the subcommands of a group
    std::vector<Described> options;   // every option name of a command
    std::vector<Entry> values;        // "quillby du|--depth" -> what the option's value can be
    std::vector<Entry> positionals;   // command -> what each positional can be ("setting none")
};

std::string joined(const std::vector<std::string>& words, const std::string& separator) {
    std::string text;
    for (const auto& word : words) text += (text.empty() ? "" : separator) + word;
    return text;
}

void collect(const CommandReference& command, Tables& tables) {
    std::string key = joined({"quillby", command.pathText()}, command.path.empty() ? "" : " ");
    std::vector<Entry> commands, options;
    std::vector<std::string> positionals;
    for (const auto& sub : command.commands)
        commands.emplace_back(sub.path.back(), sub.description);
    for (const auto& option : command.options) {
        for (const auto& name : option.names) {
            options.emplace_back(name, option.description);
            if (option.takesValue) {
                tables.values.emplace_back(key + "|" + name, CompletionTables::kindWord(option));
            }
        }
    }
    for (const auto& positional : command.positionals) {
        positionals.push_back(CompletionTables::kindWord(positional));
    }
    if (!commands.empty()) tables.commands.emplace_back(key, commands);
    tables.options.emplace_back(key, options);
    if (!positionals.empty()) tables.positionals.emplace_back(key, joined(positionals, " "));
    for (const auto& sub : command.commands) collect(sub, tables);
}

Tables collect(const CommandReference& root) {
    Tables tables;
    collect(root, tables);
    return tables;
}

std::vector<Entry> settingKeys() {
    std::vector<Entry> keys;
    for (const auto& key : settingKeyTable()) keys.emplace_back(key.name, key.meaning);
    return keys;
}

std::vector<Entry> categories() {
    std::vector<Entry> ids;
    for (const auto& category : cleanCategories()) {
        ids.emplace_back(std::to_string(category.id), std::string(category.title));
    }
    return ids;
}

// Words alone (bash), "word:description" lines (zsh's _describe) or "word<tab>description" lines
// (fish).
enum class Style { Words, Colon, Tab };

std::string wordList(const std::vector<Entry>& entries, Style style) {
    std::vector<std::string> lines;
    for (const auto& [word, meaning] : entries) {
        switch (style) {
            case Style::Words:
                lines.push_back(word);
                break;
            case Style::Colon:
                lines.push_back(word + ":" + meaning);
                break;
            case Style::Tab:
                lines.push_back(word + "\t" + meaning);
                break;
        }
    }
    return joined(lines, style == Style::Words ? " " : "\n");
}

std::vector<Entry> flattened(const std::vector<Described>& tables, Style style) {
    std::vector<Entry> out;
    for (const auto& [key, entries] : tables) out.emplace_back(key, wordList(entries, style));
    return out;
}

// Single quotes for bash and zsh.
std::string shellQuoted(const std::string& text) {
    std::string out = "'";
    for (char c : text) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

// Single quotes for fish, where a backslash escapes a quote or a backslash.
std::string fishQuoted(const std::string& text) {
    std::string out = "'";
    for (char c : text) {
        if (c == '\'' || c == '\\') out += '\\';
        out += c;
    }
    return out + "'";
}

std::string shellArray(const std::string& name, const std::vector<Entry>& entries) {
    std::string text = "declare -gA " + name + "\n" + name + "=(\n";
    for (const auto& [key, value] : entries) {
        text += "  " + shellQuoted(key) + " " + shellQuoted(value) + "\n";
    }
    return text + ")\n";
}

std::string shellText(const std::string& name, const std::string& value) {
    return "declare -g " + name + "=" + shellQuoted(value) + "\n";
}

// A fish function that prints the lines stored under its first argument.
std::string fishSwitch(const std::string& name, const std::vector<Entry>& entries) {
    std::string text = "function " + name + "\n    switch \"$argv[1]\"\n";
    for (const auto& [key, value] : entries) {
        text += "        case " + fishQuoted(key) + "\n            printf '%s\\n'";
        std::string line;
        for (char c : value + "\n") {
            if (c != '\n') {
                line += c;
                continue;
            }
            text += " " + fishQuoted(line);
            line.clear();
        }
        text += "\n";
    }
    return text + "    end\nend\n";
}

std::string fishLines(const std::string& name, const std::vector<Entry>& entries) {
    return fishSwitch(name, {{"", wordList(entries, Style::Tab)}});
}

std::vector<Entry> oneWordALine(const std::vector<Entry>& entries) {
    std::vector<Entry> out;
    for (const auto& [key, value] : entries) {
        std::string lines = value;
        for (char& c : lines) c = c == ' ' ? '\n' : c;
        out.emplace_back(key, lines);
    }
    return out;
}

// The same tables for bash and zsh, which both read associative arrays; only the way words
// carry their descriptions differs.
std::string shellTables(const CommandReference& root, Style style) {
    Tables tables = collect(root);
    return shellArray("_quillby_commands", flattened(tables.commands, style)) +
           shellArray("_quillby_options", flattened(tables.options, style)) +
           shellArray("_quillby_values", tables.values) +
           shellArray("_quillby_positionals", tables.positionals) +
           shellText("_quillby_setting_keys", wordList(settingKeys(), style)) +
           shellText("_quillby_categories", wordList(categories(), style));
}

}  // namespace

std::string CompletionTables::kindWord(const ArgumentReference& argument) {
    static const char* const kNames[] = {"none",     "file",      "folder",      "setting",
                                         "category", "loginitem", "application", "words:"};
    std::string word = kNames[static_cast<int>(argument.values.kind)];
    if (argument.values.kind == ValueKind::Words) word += joined(argument.values.words, ",");
    if (argument.valueOptional) word += "?";
    if (argument.repeats) word += "...";
    return word;
}

std::string CompletionTables::bash(const CommandReference& root) {
    return shellTables(root, Style::Words);
}

std::string CompletionTables::zsh(const CommandReference& root) {
    return shellTables(root, Style::Colon);
}

std::string CompletionTables::fish(const CommandReference& root) {
    Tables tables = collect(root);
    return fishSwitch("__quillby_commands", flattened(tables.commands, Style::Tab)) +
           fishSwitch("__quillby_options", flattened(tables.options, Style::Tab)) +
           fishSwitch("__quillby_value_kind", tables.values) +
           fishSwitch("__quillby_positional_kinds", oneWordALine(tables.positionals)) +
           fishLines("__quillby_setting_keys", settingKeys()) +
           fishLines("__quillby_categories", categories());
}

}  // namespace quillby
