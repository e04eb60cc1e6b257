// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/reference/ArgumentValues.h"

#include <array>

namespace quillby {

namespace {

// A Words entry lists its words in its value name, separated by "|".
struct KnownArgument {
    const char* commandPath;  // empty: any command
    const char* name;
    ValueKind kind;
    const char* valueName;
};

// More specific entries (with a command path) come first.
constexpr std::array kKnownArguments{
    KnownArgument{"du", "PATH", ValueKind::Folder, "PATH"},
    KnownArgument{"dupes", "PATH", ValueKind::Folder, "PATH"},
    KnownArgument{"dupes", "--keep-in", ValueKind::Folder, "DIR"},
    KnownArgument{"dupes", "--exclude", ValueKind::File, "PATH|GLOB"},
    KnownArgument{"du", "--export", ValueKind::File, "FILE"},
    KnownArgument{"du", "--import", ValueKind::File, "FILE"},
    KnownArgument{"du", "--exclude", ValueKind::Folder, "PATH"},
    KnownArgument{"", "PATH", ValueKind::File, "PATH"},
    KnownArgument{"", "TARGET", ValueKind::Folder, "REF|PATH"},
    KnownArgument{"", "KEY", ValueKind::SettingKey, "KEY"},
    KnownArgument{"", "ID", ValueKind::Application, "ID"},
    KnownArgument{"", "ITEM", ValueKind::LoginItem, "INDEX|PATH"},
    KnownArgument{"", "STATE", ValueKind::Words, "on|off"},
    KnownArgument{"", "--category", ValueKind::CleanCategory, "N"},
    KnownArgument{"", "--depth", ValueKind::None, "N"},
    KnownArgument{"", "--top", ValueKind::None, "N"},
    KnownArgument{"", "--count", ValueKind::None, "N"},
    KnownArgument{"", "--limit", ValueKind::None, "SIZE"},
    KnownArgument{"", "--min-size", ValueKind::None, "SIZE"},
    KnownArgument{"", "--watch", ValueKind::None, "SECONDS"},
};

std::vector<std::string> split(const std::string& list, char separator) {
    std::vector<std::string> words;
    for (size_t start = 0; start <= list.size();) {
        size_t end = list.find(separator, start);
        if (end == std::string::npos) end = list.size();
        if (end > start) words.push_back(list.substr(start, end - start));
        start = end + 1;
    }
    return words;
}

std::vector<std::string> bracedWords(const std::string& typeName) {
    auto open = typeName.find('{');
    auto close = typeName.find('}', open);
    if (open == std::string::npos || close == std::string::npos) return {};
    return split(typeName.substr(open + 1, close - open - 1), ',');
}

std::string plainValueName(const std::string& name, const std::string& typeName) {
    if (!name.starts_with("-")) return name;
    std::string type = typeName.substr(0, typeName.find(':'));
    if (type == "INT" || type == "UINT") return "N";
    if (type == "FLOAT") return "NUMBER";
    return "VALUE";
}

}  // namespace

ArgumentValues argumentValues(const std::string& commandPath, const std::string& name,
                              const std::string& typeName) {
    for (const auto& known : kKnownArguments) {
        bool anyCommand = *known.commandPath == '\0';
        if (name == known.name && (anyCommand || commandPath == known.commandPath)) {
            std::vector<std::string> words;
            if (known.kind == ValueKind::Words) words = split(known.valueName, '|');
            return {known.kind, known.valueName, words};
        }
    }
    std::vector<std::string> words = bracedWords(typeName);
    if (!words.empty()) {
        std::string valueName;
        for (const auto& word : words) valueName += (valueName.empty() ? "" : "|") + word;
        return {ValueKind::Words, valueName, words};
    }
    return {ValueKind::None, plainValueName(name, typeName), {}};
}

}  // namespace quillby
