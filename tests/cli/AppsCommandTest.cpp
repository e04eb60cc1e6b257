// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <filesystem>
#include <nlohmann/json.hpp>

#include "cli/CliTestSupport.h"
#include "uninstall/UninstallFixtures.h"

namespace fs = std::filesystem;

namespace {

// The real quillby with HOME and the system's data folder in a temporary folder.
struct AppsCli {
    TempDir root;
    fs::path home = root / "home";
    fs::path data = root / "share";

    std::map<std::string, std::string> environment{{"HOME", home.string()},
                                                   {"XDG_DATA_DIRS", data.string()}};

    AppsCli() { fs::create_directories(home); }
    ProcessResult run(const std::vector<std::string>& arguments, const std::string& input = "") {
        return runProcess(QUILLBY_CLI_PATH, arguments, environment, input);
    }
    fs::path userEntry(const std::string& id, const std::string& name) {
        return UninstallMachine::writeEntry(home / ".local/share/applications" / (id + ".desktop"),
                                            name);
    }
};

}  // namespace

TEST(AppsCommand, ListsAndShowsTheFixtureApplications) {
    AppsCli cli;
    fs::path notes = cli.userEntry("org.example.Notes", "Notes");
    fs::path local = UninstallMachine::writeEntry(cli.data / "applications/tool.desktop", "Tool");
    fs::path image = UninstallMachine::writeFile(cli.home / "Applications/Paint-2.AppImage");
    fs::path config =
        UninstallMachine::writeFile(cli.home / ".config/org.example.Notes/a", "123456789012");

    ProcessResult listed = cli.run({"apps", "list", "--json"});
    ASSERT_EQ(listed.status, 0) << listed.err;
    // Flatpak's and snapd's system exports of the machine itself may be listed too.
    auto apps = nlohmann::json::array();
    for (const auto& app : nlohmann::json::parse(listed.out)) {
        if (app["path"].get<std::string>().starts_with(cli.root.path().string())) {
            apps.push_back(app);
        }
    }
    ASSERT_EQ(apps.size(), 3u) << listed.out;
    EXPECT_EQ(apps[0]["path"], local.string());
    EXPECT_EQ(apps[0]["bundleID"], "tool");
    EXPECT_EQ(apps[0]["source"], "local");
    EXPECT_EQ(apps[0]["system"], false);
    EXPECT_TRUE(apps[0]["version"].is_null());
    EXPECT_EQ(apps[1]["name"], "Notes");
    EXPECT_EQ(apps[1]["source"], "user");
    EXPECT_EQ(apps[2]["path"], image.string());
    EXPECT_TRUE(apps[2]["bundleID"].is_null());
    EXPECT_EQ(apps[2]["source"], "appimage");
    EXPECT_EQ(apps[2]["created"].get<std::string>().size(), 25u);  // "2024-01-05 15:04:05 +0000"

    ProcessResult table = cli.run({"apps", "list", "--user"});
    EXPECT_EQ(table.status, 0);
    EXPECT_TRUE(table.out.starts_with("NAME")) << table.out;
    for (const auto& path : {notes, local, image}) {
        EXPECT_TRUE(holdsAll(table.out, path.string()));
    }
    EXPECT_EQ(cli.run({"apps", "list", "--system"}).out.find(cli.root.path().string()),
              std::string::npos);
    ProcessResult both = cli.run({"apps", "list", "--system", "--user"});
    EXPECT_EQ(both.status, 2);

    ProcessResult shown = cli.run({"apps", "show", "org.example.Notes"});
    EXPECT_EQ(shown.status, 0) << shown.err;
    EXPECT_TRUE(holdsAll(shown.out, "Notes", notes.string(),
                         "Removing it would:", config.parent_path().string()));
    EXPECT_NE(shown.out.find("0.01 KB"), std::string::npos) << shown.out;  // 12 bytes of settings
    ProcessResult byPath = cli.run({"apps", "show", "--json", image.string()});
    ASSERT_EQ(byPath.status, 0) << byPath.err;
    EXPECT_EQ(nlohmann::json::parse(byPath.out)["size"], 1);
}

TEST(AppsCommand, BadInputIsOneLineAndStatusTwo) {
    AppsCli cli;
    cli.userEntry("org.example.Notes", "Notes");
    // Two AppImages of one name: the name alone is ambiguous.
    UninstallMachine::writeFile(cli.home / "Applications/Tool.AppImage");
    fs::path second = UninstallMachine::writeFile(cli.home / ".local/bin/Tool.AppImage");
    for (const auto& arguments : std::vector<std::vector<std::string>>{
             {"apps", "show", "org.example.Nope"},
             {"apps", "remove", "org.example.Notes", "org.example.Nope", "--yes"},
             {"apps", "remove", "Tool.AppImage", "--yes"},
             {"apps"}}) {
        expectRefusedInOneLine(cli.run(arguments), arguments.back());
    }
    // Nothing was removed for the good name given with the bad one.
    EXPECT_TRUE(allExist(cli.home / ".local/share/applications/org.example.Notes.desktop", second));
    EXPECT_EQ(cli.run({"apps", "show", second.string()}).status, 0);
}

TEST(AppsCommand, RemovesWhatItShowsAfterAsking) {
    AppsCli cli;
    // The program the entry starts from the home goes too, with its own folder.
    fs::path program = UninstallMachine::writeFile(cli.home / ".local/opt/notes/notes", "program");
    fs::path notes = UninstallMachine::writeEntry(
        cli.home / ".local/share/applications/org.example.Notes.desktop", "Notes",
        "Exec=" + program.string());
    fs::path config = UninstallMachine::writeFile(cli.home / ".config/org.example.Notes.conf");
    fs::path cache = UninstallMachine::writeFile(cli.home / ".cache/org.example.NotesHelper/x");
    fs::path other = UninstallMachine::writeFile(cli.home / ".cache/org.example.Other/x");

    ProcessResult dry = cli.run({"apps", "remove", "org.example.Notes", "--dry-run"});
    EXPECT_EQ(dry.status, 0) << dry.err;
    EXPECT_TRUE(holdsAll(dry.out, "move " + config.string() + " (0.00 KB) to the trash",
                         "remove " + cache.parent_path().string(), "remove " + notes.string(),
                         "move " + program.parent_path().string() + " (0.01 KB) to the trash"));
    EXPECT_EQ(dry.out.find(other.string()), std::string::npos);
    EXPECT_TRUE(fs::exists(notes));

    ProcessResult declined = cli.run({"apps", "remove", "org.example.Notes"}, "n\n");
    EXPECT_EQ(declined.status, 1);
    EXPECT_TRUE(holdsAll(declined.out, "Uninstall the selected application(s)?"));
    EXPECT_TRUE(allExist(notes, config));

    ProcessResult accepted = cli.run({"apps", "remove", notes.string()}, "y\n");
    EXPECT_EQ(accepted.status, 0) << accepted.err;
    EXPECT_TRUE(holdsAll(accepted.out, "Selected application(s) were uninstalled successfully."));
    EXPECT_TRUE(noneExist(notes, config, cache.parent_path(), program.parent_path()));
    EXPECT_TRUE(fs::exists(other));
    // The settings wait in the trash, the cache is gone for good.
    fs::path trash = cli.home / ".local/share/Trash";
    EXPECT_TRUE(allExist(trash / "files/org.example.Notes.conf",
                         trash / "info/org.example.Notes.conf.trashinfo"));
    EXPECT_FALSE(fs::exists(trash / "files/org.example.NotesHelper"));
}

// Which files another installed application claims is UninstallApp's rule, and a removal reaches
// it through the page's controller; `show` hands the installed identifiers over itself.
TEST(AppsCommand, ShowLeavesTheDataOfAnotherApplicationNamedLikeIt) {
    AppsCli cli;
    cli.userEntry("google-chrome", "Google Chrome");
    cli.userEntry("google-chrome-beta", "Google Chrome (beta)");
    fs::path settings = UninstallMachine::writeFile(cli.home / ".config/google-chrome/Local State");
    UninstallMachine::writeFile(cli.home / ".config/google-chrome-beta/Default/Preferences");
    ProcessResult shown = cli.run({"apps", "show", "google-chrome"});
    ASSERT_EQ(shown.status, 0) << shown.err;
    EXPECT_TRUE(holdsAll(shown.out, settings.parent_path().string()));
    EXPECT_EQ(shown.out.find("google-chrome-beta"), std::string::npos) << shown.out;
}

TEST(AppsCommand, NeverRemovesItself) {
    AppsCli cli;
    fs::path own = cli.userEntry("com.quillby.pro", "Quillby Pro");
    fs::path settings = UninstallMachine::writeFile(cli.home / ".config/com.quillby.pro/x");
    ProcessResult result = cli.run({"apps", "remove", "com.quillby.pro", "--yes"});
    EXPECT_EQ(result.status, 1);
    EXPECT_TRUE(holdsAll(result.out,
                         "Failed to uninstall the selected application(s). Please refer to "
                         "Help for more info."));
    EXPECT_TRUE(allExist(own, settings));
}

TEST(AppsCommand, ListsThisMachinesApplicationsWithTheirSystemFlags) {
    const fs::path vim = "/usr/share/applications/vim.desktop";
    if (!fs::exists(vim) || !fs::exists("/var/lib/dpkg/status")) {
        GTEST_SKIP() << "this machine has no packaged vim.desktop to look for";
    }
    CliHome cli;
    ProcessResult listed = cli.run({"apps", "list", "--json"});
    ASSERT_EQ(listed.status, 0) << listed.err;
    bool found = false;
    for (const auto& app : nlohmann::json::parse(listed.out)) {
        if (app["path"] != vim.string()) continue;
        found = true;
        EXPECT_EQ(app["system"], true);
        EXPECT_EQ(app["source"], "package");
        EXPECT_FALSE(app["version"].is_null());
    }
    EXPECT_TRUE(found) << listed.out;
}
