// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "cli/CliTestSupport.h"

namespace fs = std::filesystem;

namespace {

// The real quillby with HOME and the system's configuration folders in a temporary folder.
class LoginItemsCli {
  public:
    ProcessResult run(const std::vector<std::string>& arguments) const {
        return runProcess(QUILLBY_CLI_PATH, arguments,
                          {{"HOME", cli.home.path().string()},
                           {"XDG_CONFIG_DIRS", (cli.home / "etc-xdg").string()},
                           {"LANG", "de_DE.UTF-8"}});
    }
    nlohmann::json list() const {
        auto result = run({"login-items", "list", "--json"});
        EXPECT_EQ(result.status, 0) << result.err;
        return nlohmann::json::parse(result.out);
    }
    fs::path user(const std::string& name) const {
        return cli.home / (".config/autostart/" + name);
    }

    CliHome cli;
};

}  // namespace

TEST(LoginItemsCommand, ListsAddsHidesAndRemoves) {
    LoginItemsCli cli;
    EXPECT_EQ(cli.run({"login-items", "list"}).out, "No login items.\n");
    EXPECT_EQ(cli.list(), nlohmann::json::array());

    cli.cli.home.write("etc-xdg/autostart/shipped.desktop",
                       "[Desktop Entry]\nType=Application\nName=Shipped\nName[de]=Geliefert\n"
                       "Exec=/usr/libexec/shipped --daemon\n");
    fs::path tool = cli.cli.home.writeExecutable("bin/My \"Tool\" 50%.AppImage", "#!/bin/sh\n");
    auto added = cli.run({"login-items", "add", tool.string()});
    ASSERT_EQ(added.status, 0) << added.err;
    ASSERT_EQ(cli.run({"login-items", "add", "--hidden", tool.string() + "-not-there"}).status, 1);

    auto list = cli.list();
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0]["index"], 0);
    EXPECT_EQ(list[0]["name"], tool.filename().string());
    EXPECT_EQ(list[0]["path"], tool.string());
    EXPECT_EQ(list[0]["hidden"], false);
    EXPECT_EQ(list[0]["system"], false);
    EXPECT_EQ(list[0]["bundleID"], "My__Tool__50_.AppImage");
    EXPECT_EQ(list[1]["name"], "Geliefert");
    EXPECT_EQ(list[1]["path"], "/usr/libexec/shipped");
    EXPECT_EQ(list[1]["url"], "file:///usr/libexec/shipped");
    EXPECT_EQ(list[1]["system"], true);

    // Hiding a system item by its path writes an override; showing it again removes it.
    ASSERT_EQ(cli.run({"login-items", "hide", "/usr/libexec/shipped", "on"}).status, 0);
    EXPECT_TRUE(fs::exists(cli.user("shipped.desktop")));
    EXPECT_EQ(cli.list()[1]["hidden"], true);
    auto text = cli.run({"login-items", "list"});
    EXPECT_TRUE(holdsAll(text.out, "1      hidden  system  Geliefert"));
    ASSERT_EQ(cli.run({"login-items", "hide", "1", "off"}).status, 0);
    EXPECT_FALSE(fs::exists(cli.user("shipped.desktop")));

    // A system item cannot be removed; the user's own can, by index or path.
    auto refused = cli.run({"login-items", "remove", "1"});
    EXPECT_EQ(refused.status, 1);
    EXPECT_TRUE(holdsAll(refused.err, "comes with the system"));
    ASSERT_EQ(cli.run({"login-items", "remove", tool.string()}).status, 0);
    EXPECT_EQ(cli.list().size(), 1u);
}

TEST(LoginItemsCommand, BadInputGetsOneLineAndStatusTwo) {
    LoginItemsCli cli;
    cli.cli.home.write(".config/autostart/a.desktop", "[Desktop Entry]\nName=A\nExec=/opt/a\n");
    cli.cli.home.write(".config/autostart/b.desktop", "[Desktop Entry]\nName=B\nExec=/opt/a\n");
    expectEachRefusedInOneLine(
        cli, {{{"login-items", "remove", "7"}, "no login item has index 7"},
              {{"login-items", "remove", "/opt/none"}, "is not a login item"},
              {{"login-items", "remove", "/opt/a"}, "2 login items start /opt/a (indexes 0, 1)"},
              {{"login-items", "hide", "0", "maybe"}, "on or off"},
              {{"login-items", "hide", "0"}, "STATE"},
              {{"login-items"}, "list, add, remove, hide"}});
    EXPECT_EQ(cli.list().size(), 2u);
    // The entry's own file names it without doubt.
    ASSERT_EQ(cli.run({"login-items", "remove", cli.user("b.desktop").string()}).status, 0);
    EXPECT_EQ(cli.list()[0]["name"], "A");
}
