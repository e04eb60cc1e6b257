// SPDX-License-Identifier: GPL-3.0-or-later
// quillby-reference: writes the manual page and the shell completions of quillby from its
// command-line definition, so that neither can drift from `quillby --help`.
//
//   quillby-reference man|bash|zsh|fish TEMPLATE OUTPUT
//
// The template's @VERSION@, @OPTIONS@, @COMMANDS@ (manual page) and @TABLES@ (completions) are
// replaced by what the definition says.
#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>
#include <string>

#include "cli/QuillbyCommandLine.h"
#include "cli/reference/CompletionTables.h"
#include "cli/reference/ManPageWriter.h"

using namespace quillby;

namespace {

std::string filled(std::string text, const std::map<std::string, std::string>& values) {
    for (const auto& [name, value] : values) {
        std::string marker = "@" + name + "@";
        for (size_t at = text.find(marker); at != std::string::npos;
             at = text.find(marker, at + value.size())) {
            text.replace(at, marker.size(), value);
        }
    }
    return text;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: quillby-reference man|bash|zsh|fish TEMPLATE OUTPUT\n");
        return 2;
    }
    std::string kind = argv[1];
    CLI::App app;
    defineQuillbyCommandLine(app);
    CommandReference root = describeCommandLine(app);

    std::map<std::string, std::string> values{{"VERSION", QUILLBY_VERSION}};
    if (kind == "man") {
        values["OPTIONS"] = ManPageWriter::options(root);
        values["COMMANDS"] = ManPageWriter::commands(root);
    } else if (kind == "bash") {
        values["TABLES"] = CompletionTables::bash(root);
    } else if (kind == "zsh") {
        values["TABLES"] = CompletionTables::zsh(root);
    } else if (kind == "fish") {
        values["TABLES"] = CompletionTables::fish(root);
    } else {
        std::fprintf(stderr, "quillby-reference: unknown output %s\n", kind.c_str());
        return 2;
    }
    std::ifstream in(argv[2]);
    std::stringstream text;
    text << in.rdbuf();
    std::ofstream out(argv[3]);
    out << filled(text.str(), values);
    out.close();
    if (!in || !out) {
        std::fprintf(stderr, "quillby-reference: cannot turn %s into %s\n", argv[2], argv[3]);
        return 1;
    }
    return 0;
}
