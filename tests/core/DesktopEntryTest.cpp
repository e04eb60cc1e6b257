// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "core/apps/DesktopEntry.h"

using namespace quillby;

using namespace std::string_literals;

namespace {

constexpr const char* group = DesktopEntry::mainGroup;

DesktopEntry parsed(std::string_view text) {
    auto result = DesktopEntry::parse(text);
    EXPECT_TRUE(result.entry) << result.error;
    return result.entry ? *result.entry : DesktopEntry::empty();
}

}  // namespace

TEST(DesktopEntry, ReadsKeysLocalesEscapesAndListsAndWritesTheTextBackUnchanged) {
    const std::string text =
        "# comment kept\n"
        "[Desktop Entry]\n"
        "Type = Application\n"
        "Name=Editor\n"
        "Name[de]=Bearbeiter\n"
        "Name[sr@latin]=Uređivač\n"
        "Name[pt_BR]=Editor BR\n"
        "Comment=\\sTwo\\nlines\\tand \\\\ backslash \\q kept\n"
        "Categories=Utility;Text\\;Editor;\n"
        "Hidden=true\n"
        "NoDisplay=maybe\n"
        "Exec=old\n"
        "Exec=new\n"
        "\n"
        "[Desktop Action new]\n"
        "Name=New Window\n";
    DesktopEntry entry = parsed(text);
    EXPECT_EQ(entry.toText(), text);
    EXPECT_EQ(entry.groupNames(), (std::vector<std::string>{group, "Desktop Action new"}));
    EXPECT_EQ(entry.value(group, "Type"), "Application");
    EXPECT_EQ(entry.value(group, "Exec"), "new");  // a repeated key reads its last value
    EXPECT_EQ(entry.stringValue(group, "Comment"), " Two\nlines\tand \\ backslash \\q kept");
    EXPECT_EQ(entry.stringListValue(group, "Categories"),
              (std::vector<std::string>{"Utility", "Text;Editor"}));
    EXPECT_EQ(entry.booleanValue(group, "Hidden"), true);
    EXPECT_EQ(entry.booleanValue(group, "NoDisplay"), std::nullopt);
    EXPECT_EQ(entry.value(group, "Missing"), std::nullopt);
    EXPECT_EQ(entry.stringValue("Desktop Action new", "Name"), "New Window");

    EXPECT_EQ(entry.localeStringValue(group, "Name", "de_DE.UTF-8"), "Bearbeiter");
    EXPECT_EQ(entry.localeStringValue(group, "Name", "sr_RS.UTF-8@latin"), "Uređivač");
    EXPECT_EQ(entry.localeStringValue(group, "Name", "pt_BR.UTF-8"), "Editor BR");
    EXPECT_EQ(entry.localeStringValue(group, "Name", "pt_PT"), "Editor");
    EXPECT_EQ(entry.localeStringValue(group, "Name", "C.UTF-8"), "Editor");
    EXPECT_EQ(DesktopEntry::localeVariants("sr_RS.UTF-8@latin"),
              (std::vector<std::string>{"sr_RS@latin", "sr_RS", "sr@latin", "sr"}));

    // Windows line ends and a missing final newline are read, and kept on the way out.
    const std::string crlf = "[Desktop Entry]\r\nName=Win\r\nHidden=false";
    DesktopEntry windows = parsed(crlf);
    EXPECT_EQ(windows.value(group, "Name"), "Win");
    EXPECT_EQ(windows.booleanValue(group, "Hidden"), false);
    EXPECT_EQ(windows.toText(), crlf);
}

TEST(DesktopEntry, ChangesKeepEveryOtherLine) {
    DesktopEntry entry = parsed(
        "[Desktop Entry]\n"
        "# about the name\n"
        "Name=Tool\n"
        "Hidden=false\n"
        "\n"
        "[Other]\n"
        "Key=1\n");
    ASSERT_TRUE(entry.setBooleanValue(group, "Hidden", true));
    ASSERT_TRUE(entry.setStringValue(group, "Comment", " leading space\nand a newline"));
    ASSERT_TRUE(entry.setValue("New Group", "X-Key", "v"));
    EXPECT_EQ(entry.toText(),
              "[Desktop Entry]\n"
              "# about the name\n"
              "Name=Tool\n"
              "Hidden=true\n"
              "Comment=\\sleading space\\nand a newline\n"
              "\n"
              "[Other]\n"
              "Key=1\n"
              "\n"
              "[New Group]\n"
              "X-Key=v\n");
    EXPECT_EQ(parsed(entry.toText()).stringValue(group, "Comment"),
              " leading space\nand a newline");
    EXPECT_TRUE(entry.removeKey(group, "Hidden"));
    EXPECT_FALSE(entry.removeKey(group, "Hidden"));
    EXPECT_FALSE(entry.value(group, "Hidden"));

    // What a file cannot hold is refused, and nothing changes.
    std::string before = entry.toText();
    EXPECT_FALSE(entry.setValue(group, "Bad Key", "v"));
    EXPECT_FALSE(entry.setValue(group, "Name", "two\nlines"));
    EXPECT_FALSE(entry.setStringValue(group, "Name", "bell\a"));
    EXPECT_FALSE(entry.setStringValue(group, "Name", "\xff\xfe"));
    EXPECT_FALSE(entry.setValue("Bad]Group", "Key", "v"));
    EXPECT_EQ(entry.toText(), before);

    DesktopEntry plain = parsed("[Desktop Entry]\nName=Tool\nHidden=false\n[Other]\nKey=1\n");
    DesktopEntry reordered =
        parsed("[Other]\nKey = 1\n[Desktop Entry]\n# note\nHidden=false\nName=Tool\n\n");
    EXPECT_TRUE(plain.sameContent(reordered));
    reordered.setValue(group, "Name", "Other tool");
    EXPECT_FALSE(plain.sameContent(reordered));
}

TEST(DesktopEntry, RefusesWhatIsNotADesktopEntry) {
    struct Case {
        std::string text;
        std::string reason;
    };
    std::string longLine = "[Desktop Entry]\nExec=" + std::string(1000 * 1000, 'x') + "\n";
    for (const auto& c : std::vector<Case>{
             {"Name=Tool\n[Desktop Entry]\n", "line 1 holds a key before the first group"},
             {"", "no [Desktop Entry] group"},
             {"# only a comment\n[Other]\nKey=1\n", "no [Desktop Entry] group"},
             {"[Desktop Entry]\nName=\xff\xfe\x01\n", "not UTF-8"},
             {"[Desktop Entry]\nName=a\0b\n"s, "line 2 holds a control character"},
             {"[Desktop Entry]\njust words\n", "line 2 is not a key"},
             {"[Desktop Entry\nName=x\n", "line 1 is not a valid group header"},
             {"[Desktop Entry]\n[]\n", "line 2 is not a valid group header"},
             {"[Desktop Entry]\nName[de=x\n", "line 2 has an invalid key"},
             {"[Desktop Entry]\n=value\n", "line 2 has an invalid key"},
             {longLine, "line 2 is longer than 65536 bytes"},
             {std::string(2 * 1024 * 1024, '#'), "larger than 1048576 bytes"},
         }) {
        auto result = DesktopEntry::parse(c.text);
        EXPECT_FALSE(result.entry) << c.reason;
        EXPECT_NE(result.error.find(c.reason), std::string::npos) << result.error;
    }
}

TEST(DesktopEntry, SplitsExecLikeTheDesktopsDo) {
    struct Case {
        std::string command;
        std::vector<std::string> arguments;
    };
    for (const auto& c : std::vector<Case>{
             {"editor --new-window %U", {"editor", "--new-window"}},
             {"\"/opt/My App/run\" --title \"say \\\"hi\\\" for \\$5\"",
              {"/opt/My App/run", "--title", "say \"hi\" for $5"}},
             {"sh -c 'sleep 5; exec app'", {"sh", "-c", "sleep 5; exec app"}},
             {"app  --size=100%%   \"\"", {"app", "--size=100%", ""}},
             {"app --icon-arg %i --name=%c --from %k",
              {"app", "--icon-arg", "--icon", "ed", "--name=Editor", "--from", "/a.desktop"}},
             {"app %f%u --x=%F %d %Z", {"app", "--x="}},
             {"back\\ slash \"in\\side\"", {"back slash", "in\\side"}},
         }) {
        auto split = DesktopEntry::splitExec(c.command);
        ASSERT_TRUE(split) << c.command;
        EXPECT_EQ(DesktopEntry::expandExec(*split, {"Editor", "ed", "/a.desktop"}), c.arguments)
            << c.command;
    }
    EXPECT_FALSE(DesktopEntry::splitExec("app \"unterminated"));
    EXPECT_FALSE(DesktopEntry::splitExec("app 'unterminated"));
    EXPECT_EQ(DesktopEntry::splitExec("   "), std::vector<std::string>{});
}

TEST(DesktopEntry, AnyArgumentsSurviveQuotingTheFileAndSplitting) {
    const std::vector<std::vector<std::string>> commands{
        {"/home/me/My \"quoted\" app $HOME `x` 100% \\ back.AppImage"},
        {"xdg-open", "/home/me/a file;with|odd&chars*?#(1)<2>~.txt"},
        {"/usr/bin/tool", "", "  spaces  ", "tab\there", "new\nline", "%f", "%%", "'single'"},
        {"plain", "--flag=value", "unicode-ünï"},
    };
    for (const auto& literals : commands) {
        std::string command = DesktopEntry::joinExec(literals);
        DesktopEntry entry = DesktopEntry::empty();
        ASSERT_TRUE(entry.setStringValue(group, "Exec", command));
        DesktopEntry reread = parsed(entry.toText());
        auto split = DesktopEntry::splitExec(*reread.stringValue(group, "Exec"));
        ASSERT_TRUE(split) << command;
        EXPECT_EQ(DesktopEntry::expandExec(*split), literals) << entry.toText();
    }
    EXPECT_EQ(DesktopEntry::quoteExecArgument("/usr/bin/plain-name_1.0"),
              "/usr/bin/plain-name_1.0");
    EXPECT_EQ(DesktopEntry::quoteExecArgument("a b"), "\"a b\"");
    EXPECT_EQ(DesktopEntry::quoteExecArgument("50%"), "50%%");
}
