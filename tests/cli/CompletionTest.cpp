// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "cli/CliTestSupport.h"
#include "support/ProcessRunner.h"

namespace {

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) out.push_back(line);
    return out;
}

bool has(const std::vector<std::string>& words, const std::string& word) {
    return std::find(words.begin(), words.end(), word) != words.end();
}

// The words bash offers for `line` (the cursor at its end), run in `home` with HOME set to it.
std::vector<std::string> bashOffers(const std::string& line, const std::string& home) {
    std::string script =
        "cd \"$1\" && source \"$2\" && read -ra COMP_WORDS <<< \"$3\" && "
        "[[ $3 == *' ' ]] && COMP_WORDS+=('');"
        "COMP_WORDS[0]=\"$4\"; COMP_CWORD=$((${#COMP_WORDS[@]} - 1)); _quillby;"
        "printf '%s\\n' \"${COMPREPLY[@]}\"";
    auto result = runProcess(
        "/bin/bash", {"-c", script, "bash", home, QUILLBY_BASH_COMPLETION, line, QUILLBY_CLI_PATH},
        {{"HOME", home}, {"XDG_CONFIG_DIRS", home + "/no-system"}});
    EXPECT_EQ(result.status, 0) << result.err;
    auto offers = lines(result.out);
    std::erase(offers, "");
    return offers;
}

struct BashCompletion : ::testing::Test {
    std::vector<std::string> offers(const std::string& line) {
        return bashOffers(line, cli.home.path().string());
    }
    CliHome cli;
};

}  // namespace

TEST_F(BashCompletion, RegistersForQuillby) {
    auto result = runProcess(
        "/bin/bash",
        {"-c", "source \"$1\" && complete -p quillby", "bash", QUILLBY_BASH_COMPLETION}, {});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out, "complete -F _quillby quillby\n");
}

TEST_F(BashCompletion, OffersCommandsOptionsSettingKeysAndFixedValues) {
    EXPECT_EQ(offers("quillby settings get Sp"), std::vector<std::string>{"SpaceAlarm"});
    auto keys = offers("quillby settings set ");
    EXPECT_TRUE(has(keys, "SpaceAlarm") && has(keys, "UserTrash")) << keys.size();
    EXPECT_TRUE(offers("quillby settings set SpaceAlarm ").empty());  // a value: nothing to offer
    EXPECT_EQ(offers("quillby sett"), std::vector<std::string>{"settings"});
    EXPECT_EQ(offers("quillby login-items "),
              (std::vector<std::string>{"list", "add", "remove", "hide"}));
    EXPECT_EQ(offers("quillby du ~ --di"), std::vector<std::string>{"--discover"});
    EXPECT_EQ(offers("quillby clean run --category "),
              (std::vector<std::string>{"0", "1", "2", "3", "4", "5"}));
    EXPECT_EQ(offers("quillby clean scan --category 1 5 --j"), std::vector<std::string>{"--json"});
    EXPECT_EQ(offers("quillby clean scan --category 1 ").size(), 6u);  // several categories
    // A value option's value is not taken for a positional.
    EXPECT_EQ(offers("quillby dupes --min-size 1MB . --keep o"),
              (std::vector<std::string>{"original", "oldest"}));
    EXPECT_EQ(offers("quillby login-items hide 0 o"), (std::vector<std::string>{"on", "off"}));
    EXPECT_TRUE(offers("quillby login-items hide 0 on ").empty());
}

TEST_F(BashCompletion, OffersFoldersWhereAFolderIsExpected) {
    cli.home.write("work/notes.txt", "x");
    cli.home.write("work/photos/a.jpg", "x");
    EXPECT_EQ(offers("quillby du work/"), std::vector<std::string>{"work/photos"});
    auto files = offers("quillby login-items add work/");
    std::sort(files.begin(), files.end());
    EXPECT_EQ(files, (std::vector<std::string>{"work/notes.txt", "work/photos"}));
}

TEST_F(BashCompletion, OffersTheLoginItemsOfTheUser) {
    cli.home.write(".config/autostart/notes.desktop",
                   "[Desktop Entry]\nType=Application\nName=Notes\nExec=/usr/bin/notes\n");
    auto items = offers("quillby login-items remove ");
    EXPECT_TRUE(has(items, "0")) << (items.empty() ? "" : items.front());
}

TEST(OtherShellCompletion, ZshOffersSettingKeys) {
    // _describe and compadd stand in for zsh's completion system and print what they were given.
    std::string script = R"(
        _describe() { local -a shown; shown=("${(@P)${@[-1]}}"); print -l ${shown%%:*}; }
        compadd() { print -l "${(@P)${@[-1]}}"; }
        _files() { print files; }
        words=(quillby settings get Sp); CURRENT=4; PREFIX=Sp
        source $1)";
    auto result =
        runProcess("/usr/bin/zsh", {"-f", "-c", script, "zsh", QUILLBY_ZSH_COMPLETION}, {});
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_TRUE(has(lines(result.out), "SpaceAlarm")) << result.out;
}

TEST(OtherShellCompletion, FishOffersSettingKeysAndCategories) {
    // Fish keeps its history and universal variables under the home even without a config.
    TempDir home;
    auto offered = [&home](const std::string& line) {
        auto result = runProcess("/usr/bin/fish",
                                 {"--no-config", "-c", "source $argv[1]; complete -C $argv[2]",
                                  QUILLBY_FISH_COMPLETION, line},
                                 {{"HOME", home.path().string()},
                                  {"XDG_DATA_HOME", (home / "data").string()},
                                  {"XDG_CONFIG_HOME", (home / "config").string()}});
        EXPECT_EQ(result.status, 0) << result.err;
        std::vector<std::string> words;
        for (const auto& row : lines(result.out)) words.push_back(row.substr(0, row.find('\t')));
        return words;
    };
    EXPECT_EQ(offered("quillby settings get Sp"), std::vector<std::string>{"SpaceAlarm"});
    EXPECT_EQ(offered("quillby clean scan --category 1 ").size(), 6u);
    EXPECT_TRUE(has(offered("quillby dupes . --"), "--min-size"));
}
