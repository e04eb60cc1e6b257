// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <regex>

#include "cli/CommandHelp.h"
#include "support/TempDir.h"

namespace {

// The manual page as a reader sees it: no font changes, plain hyphens.
std::string plainManPage() {
    std::string text = TempDir::read(QUILLBY_MAN_PAGE);
    text = std::regex_replace(text, std::regex(R"(\\f[BIR])"), "");
    return std::regex_replace(text, std::regex(R"(\\-)"), "-");
}

// The text of each command's section, keyed by its words ("" for the top-level options).
std::map<std::string, std::string> manSections(const std::string& page) {
    std::map<std::string, std::string> sections;
    std::regex heading(R"(\n\.SS "quillby ([^"]*)\"\n)");
    auto begin = std::sregex_iterator(page.begin(), page.end(), heading);
    size_t options = page.find("\n.SH OPTIONS\n");
    size_t commands = page.find("\n.SH COMMANDS\n");
    sections[""] = page.substr(options, commands - options);
    for (auto it = begin; it != std::sregex_iterator(); ++it) {
        auto next = std::next(it);
        size_t end = next == std::sregex_iterator() ? page.find("\n.SH ", it->position() + 1)
                                                    : static_cast<size_t>(next->position());
        sections[(*it)[1]] = page.substr(it->position(), end - it->position());
    }
    return sections;
}

}  // namespace

TEST(ManualPage, ListsEveryCommandAndOptionOfHelpInTheSectionsOfAManualPage) {
    auto help = readCommandHelp();
    ASSERT_GT(help.size(), 20u);
    ASSERT_EQ(help.count("login-items add"), 1u);
    const std::string page = plainManPage();
    auto sections = manSections(page);

    for (const auto& [path, command] : help) {
        ASSERT_EQ(sections.count(path), 1u) << "no section for: quillby " << path;
        const std::string& section = sections[path];
        for (const auto& option : command.options) {
            if (option == "-h" || (option == "--help" && !path.empty())) continue;
            EXPECT_NE(section.find(option), std::string::npos)
                << "quillby " << path << ": " << option << " is not in the manual page";
        }
    }
    // And nothing the program does not know.
    for (const auto& [path, text] : sections) {
        EXPECT_EQ(help.count(path), 1u) << "the manual page has a section for quillby " << path;
    }
    // And the sections of a manual page.
    for (const char* section : {".TH QUILLBY 1", ".SH NAME", ".SH SYNOPSIS", ".SH EXIT STATUS",
                                ".SH FILES", ".SH EXAMPLES"}) {
        EXPECT_NE(page.find(section), std::string::npos) << section;
    }
    EXPECT_EQ(page.find('@'), std::string::npos) << "a template marker was left in the page";
}
