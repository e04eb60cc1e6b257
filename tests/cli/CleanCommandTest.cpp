// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <unistd.h>

#include "cli/CliTestSupport.h"

namespace fs = std::filesystem;

namespace {

// A home with caches, logs next to state, and downloads.
class CleanHome : public CliHome {
  public:
    CleanHome() {
        home.write(".cache/small", std::string(100, 'a'));
        home.write(".cache/big/inner", std::string(2000, 'b'));
        home.write(".local/state/app/x.log", std::string(300, 'l'));
        home.write(".local/state/app/state.db", "state");
        home.write("Downloads/setup.iso", std::string(5000, 'i'));
        outside.write("precious", "keep");
        fs::create_symlink(outside / "precious", home / ".cache/link");
    }
    fs::path operator/(const std::string& relative) const { return home / relative; }

    TempDir outside;
};

// Runs a shell script in a private mount namespace with HOME and QUILLBY set.
ProcessResult inMountNamespace(const CliHome& cli, const std::vector<std::string>& prefix,
                               const std::string& script) {
    std::vector<std::string> arguments = prefix;
    arguments.insert(arguments.end(), {"/bin/sh", "-c", script});
    return runProcess("/usr/bin/unshare", arguments,
                      {{"HOME", cli.home.path().string()}, {"QUILLBY", QUILLBY_CLI_PATH}});
}

}  // namespace

TEST(CliClean, ScanListsCategoriesWithItemsLargestFirst) {
    CleanHome cli;
    auto result = cli.run({"clean", "scan", "--json", "--category", "1", "3", "5"});
    ASSERT_EQ(result.status, 0) << result.err;
    auto json = nlohmann::json::parse(result.out);
    auto& categories = json["categories"];
    ASSERT_EQ(categories.size(), 3u);
    EXPECT_EQ(categories[0]["id"], 1);
    EXPECT_EQ(categories[0]["title"], "User Caches");
    EXPECT_EQ(categories[0]["folders"], nlohmann::json::array({(cli / ".cache").string()}));
    EXPECT_EQ(categories[0]["size"], 2100 + (cli.outside / "precious").string().size());
    EXPECT_EQ(categories[0]["items"].size(), 3u);
    EXPECT_EQ(categories[0]["items"][0]["name"], "big");
    EXPECT_EQ(categories[0]["items"][0]["path"], (cli / ".cache/big").string());
    EXPECT_EQ(categories[0]["items"][0]["size"], 2000);
    EXPECT_EQ(categories[0]["items"][0]["sizeText"], "2.00 KB");
    EXPECT_EQ(categories[1]["items"].size(), 1u);  // the log, not the state beside it
    EXPECT_EQ(categories[1]["items"][0]["name"], "x.log");
    EXPECT_EQ(categories[2]["sizeText"], "5.00 KB");

    auto text = cli.run({"clean", "scan", "--category", "1"});
    ASSERT_EQ(text.status, 0);
    EXPECT_TRUE(holdsAll(text.out, "User Caches: 2.1"));
    EXPECT_LT(text.out.find("/.cache/big"), text.out.find("/.cache/small"));
}

TEST(CliClean, DryRunDeletesNothingAndRunDeletesAndRecords) {
    CleanHome cli;
    auto dry = cli.run({"clean", "run", "--category", "1", "3", "--dry-run"});
    EXPECT_EQ(dry.status, 0) << dry.err;
    EXPECT_TRUE(holdsAll(dry.out, "nothing was deleted"));
    EXPECT_TRUE(allExist(cli / ".cache/small", cli / ".local/state/app/x.log"));
    EXPECT_FALSE(fs::exists(cli.dataFolder() / ".orvane.log.bin"));

    auto run = cli.run({"clean", "run", "--category", "1", "3", "--yes"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(fs::is_empty(cli / ".cache"));
    EXPECT_FALSE(fs::exists(cli / ".local/state/app/x.log"));
    EXPECT_TRUE(fs::exists(cli / ".local/state/app/state.db"));
    EXPECT_EQ(TempDir::read(cli.outside / "precious"), "keep");
    std::uint64_t removed = 2100 + 300 + (cli.outside / "precious").string().size();
    EXPECT_TRUE(holdsAll(run.out, "Files cleaned: 5"));
    auto history = nlohmann::json::parse(cli.run({"history", "--json"}).out);
    EXPECT_EQ(history["kind"], "SIZE");
    EXPECT_EQ(history["size"], removed);
}

TEST(CliClean, AsksFirstAndAgainForDownloads) {
    CleanHome cli;
    auto declined = cli.run({"clean", "run", "--category", "1", "5"}, "n\n");
    EXPECT_EQ(declined.status, 1);
    EXPECT_TRUE(allExist(cli / ".cache/small", cli / "Downloads/setup.iso"));

    auto keepDownloads = cli.run({"clean", "run", "--category", "1", "5"}, "y\nn\n");
    EXPECT_EQ(keepDownloads.status, 0) << keepDownloads.err;
    EXPECT_TRUE(holdsAll(keepDownloads.out, "Are you sure you want to continue?",
                         "Downloads folder is selected to clean. We recommend you to "
                         "view this folder for anything useful before emptying it."));
    EXPECT_TRUE(fs::is_empty(cli / ".cache"));
    EXPECT_TRUE(fs::exists(cli / "Downloads/setup.iso"));

    auto all = cli.run({"clean", "run", "--category", "5"}, "y\ny\n");
    EXPECT_EQ(all.status, 0);
    EXPECT_TRUE(fs::is_empty(cli / "Downloads"));
}

TEST(CliClean, EnabledCategoriesAndBadInput) {
    CleanHome cli;
    // Without --category the enabled categories are used; a dry run shows which.
    for (const char* key : {"SystemCaches", "SystemLogs", "UserLogs"}) {
        ASSERT_EQ(cli.run({"settings", "set", key, "0"}).status, 0);
    }
    ASSERT_EQ(cli.run({"settings", "set", "UserDownloads", "1"}).status, 0);
    auto dry = cli.run({"clean", "run", "--dry-run"});
    EXPECT_EQ(dry.status, 0) << dry.err;
    EXPECT_TRUE(holdsAll(dry.out, "Categories: User Caches; User Downloads;"));
    EXPECT_EQ(dry.out.find("/var/"), std::string::npos);

    for (auto arguments : {std::vector<std::string>{"clean", "run", "--category", "6"},
                           std::vector<std::string>{"clean", "scan", "--category", "-1"},
                           std::vector<std::string>{"clean", "scan", "--category", "caches"},
                           std::vector<std::string>{"clean"}}) {
        expectRefusedInOneLine(cli.run(arguments), arguments.back());
    }
    EXPECT_TRUE(fs::exists(cli / ".cache/small"));
}

TEST(CliClean, AFailedDeletionNamesThePathAndExitsWithOne) {
    CleanHome cli;
    auto prefix = privateMountNamespace();
    if (prefix.empty()) GTEST_SKIP() << "no private mount namespace here (unshare refused)";
    // Read-only by a bind remount, which an ordinary user's namespace may do too.
    auto result =
        inMountNamespace(cli, prefix,
                         "mount -t tmpfs none \"$HOME/.cache\" && echo x > "
                         "\"$HOME/.cache/stuck\" && mount -o remount,bind,ro \"$HOME/.cache\" "
                         "&& exec \"$QUILLBY\" clean run --category 1 --yes");
    EXPECT_EQ(result.status, 1) << result.out << result.err;
    // The page's report: the category, then each item.
    EXPECT_TRUE(
        holdsAll(result.out, "Could not delete:\nUser Caches:\n  " + (cli / ".cache").string()));
    EXPECT_EQ(result.err, "quillby: 1 item could not be deleted\n");
}

// Root with another user's HOME (as sudo -E leaves it): that home is neither cleaned nor written
// to, and the command says whose home it is.
TEST(CliClean, RootWithAnotherUsersHomeCleansAndWritesNothingThere) {
    if (::geteuid() != 0) GTEST_SKIP() << "needs root: to give the home to another user";
    CleanHome cli;
    cli.home.write(".xsession-errors.old", "their session");
    cli.home.write(".local/share/Trash/files/theirs", "theirs");
    for (const auto& entry : fs::recursive_directory_iterator(cli.home.path())) {
        ASSERT_EQ(::lchown(entry.path().c_str(), 65534, 65534), 0);
    }
    ASSERT_EQ(::chown(cli.home.path().c_str(), 65534, 65534), 0);

    auto result = cli.run({"clean", "run", "--category", "1", "3", "4", "5", "--yes"});
    EXPECT_EQ(result.status, 1) << result.out;
    EXPECT_TRUE(
        holdsAll(result.err, "The home folder " + cli.home.path().string() +
                                 " belongs to another user (uid 65534); run Quillby Pro as that "
                                 "user to clean it."));
    for (const char* name : {".cache/small", ".local/state/app/x.log", "Downloads/setup.iso",
                             ".xsession-errors.old", ".local/share/Trash/files/theirs"}) {
        EXPECT_TRUE(fs::exists(cli / name)) << name;
    }
    EXPECT_NE(cli.run({"settings", "set", "fade", "false"}).status, 0);
    EXPECT_TRUE(noneExist(cli.dataFolder(), cli.preferences().parent_path()));
}
