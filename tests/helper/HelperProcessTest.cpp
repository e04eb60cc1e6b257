// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <unistd.h>
#include <filesystem>
#include <sstream>
#include <vector>

#include "clean/CleanCategory.h"
#include "helper/CategoryItemClean.h"
#include "helper/HelperVerbs.h"
#include "support/ChildProcess.h"
#include "support/ProcessRunner.h"
#include "support/TempDir.h"
#include "support/UnprivilegedChild.h"

using namespace quillby;

namespace fs = std::filesystem;

namespace {

std::string request(const std::string& verb, const std::string& argument) {
    std::string text = verb;
    text.push_back('\0');
    text += argument;
    text.push_back('\0');
    return text;
}

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> result;
    std::istringstream input(text);
    for (std::string line; std::getline(input, line);) result.push_back(line);
    return result;
}

ProcessResult serve(const std::string& input) {
    return runProcess(QUILLBY_HELPER_PATH, {"serve"}, {}, input);
}

}  // namespace

TEST(HelperProcess, RefusesBadPathsAndAnswersEveryRequestWithOneLine) {
    TempDir dir;
    dir.write("real/victim/file", "x");
    dir.write("full\nname/x", "x");
    fs::create_directory_symlink(dir / "real", dir / "alias");
    // Refusals are probed with paths that cannot exist or lie in the test's own folder, so a
    // refusal that regressed could not harm the machine.
    std::string input = request("ping", "") + request("remove", "tmp/relative") +
                        request("remove", (dir / "real/../real/victim").string()) +
                        request("remove", "/") +
                        request("remove", "/quillby-test-no-such-top-folder") +
                        request("remove", "") + request("remove", (dir / "alias/victim").string()) +
                        request("clean-system-logs", (dir / "real/victim/file").string()) +
                        request("frobnicate", "/x/y") +
                        request("clean-system-logs", (dir / "full\nname/x").string());
    auto result = serve(input);
    EXPECT_EQ(result.status, 0) << result.err;
    auto answers = lines(result.out);
    ASSERT_EQ(answers.size(), 10u) << result.out;
    EXPECT_EQ(answers[0], "ok");
    for (int row : {1, 2, 3, 5}) {
        EXPECT_EQ(answers[row], "error not an absolute, normalised path") << row;
    }
    EXPECT_EQ(answers[4], "error refusing a folder at the top of the file system");
    EXPECT_TRUE(holdsAll(answers[6], "symbolic link"));
    EXPECT_TRUE(holdsAll(answers[7], "not in a folder of this clean category"));
    EXPECT_EQ(answers[8], "error unknown request");
    EXPECT_TRUE(holdsAll(answers[9], "full?name"));  // its line end cannot split the answer
    EXPECT_TRUE(fs::exists(dir / "real/victim/file"));
}

TEST(HelperProcess, RemovesItemsNeverWhatLinksPointAt) {
    TempDir dir;
    TempDir outside;
    outside.write("precious", "keep");
    dir.write("tree/a/b", "1");
    dir.write("line\nend", "2");
    fs::create_symlink(outside / "precious", dir / "tree/a/link");
    fs::create_symlink(outside / "precious", dir / "top-link");
    auto result =
        serve(request("remove", (dir / "tree").string()) +
              request("remove", (dir / "never-there").string()) +
              request("remove", (dir / "line\nend").string()) +
              request("remove", (dir / "top-link").string()) +
              request("rmdir", (dir / "tree").string()) + std::string("remove\0/unfinished", 18));
    EXPECT_EQ(result.status, 0);
    auto answers = lines(result.out);
    // Nothing there is nothing to remove; no request deletes an unjudged folder.
    EXPECT_EQ(answers, (std::vector<std::string>{"ok", "ok", "ok", "ok", "error unknown request"}))
        << result.out;
    EXPECT_TRUE(noneExist(dir / "tree", dir / "line\nend"));
    EXPECT_FALSE(fs::exists(fs::symlink_status(dir / "top-link")));
    EXPECT_EQ(TempDir::read(outside / "precious"), "keep");
}

TEST(HelperProcess, UsageAndPurgeRefusedToOrdinaryUsers) {
    EXPECT_EQ(runProcess(QUILLBY_HELPER_PATH, {}, {}).status, 2);
    EXPECT_EQ(runProcess(QUILLBY_HELPER_PATH, {"remove", "/x/y"}, {}).status, 2);
    // One line saying why, to an ordinary user (as which a root test runs it).
    EXPECT_TRUE(asOrdinaryUser([] {
        auto result = runProcess(QUILLBY_HELPER_PATH, {"purge"}, {});
        return result.status == 1 && holdsAll(result.err, "administrator") &&
               std::count(result.err.begin(), result.err.end(), '\n') == 1;
    }));
}

TEST(HelperProcess, PurgeDropsTheCachesAsRoot) {
    if (::geteuid() != 0) GTEST_SKIP() << "needs root: to drop the kernel's caches";
    if (::access("/proc/sys/vm/drop_caches", W_OK) != 0) {
        GTEST_SKIP() << "/proc/sys/vm/drop_caches is read-only in this container";
    }
    auto result = runProcess(QUILLBY_HELPER_PATH, {"purge"}, {});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.err, "");
}

TEST(HelperRemoval, RefusesTheSystemsFoldersHomesAndMountsByWhatTheyAreAndSaysWhy) {
    TempDir dir;
    fs::path root = dir / "root";
    for (const char* file : {"etc/passwd", "usr/bin/tool", "home/alice/file", "home/me/x"}) {
        dir.write("root/" + std::string(file), "bytes");
    }
    fs::create_directories(root / "srv/mnt");
    DeletionGate::Options options;
    options.systemRoot = root.string();
    options.caller = 1000;
    options.home = (root / "home/me").string();
    options.protectAccountHomes = false;
    options.accountHomes = {{(root / "home/alice").string(), 1001}};
    options.resetPermissions = false;
    const std::pair<std::string, std::string> cases[] = {
        {"etc/passwd", "error refused: a folder of the operating system, or inside one"},
        {"usr/bin", "error refused: a folder of the operating system, or inside one"},
        {"home/alice", "error refused: another user's home folder"},
        {"home/me", "error refused: your home folder"},
        {"home/me/x", "ok"},
    };
    for (const auto& [relative, answer] : cases) {
        EXPECT_EQ(removePickedItem((root / relative).string(), options), answer) << relative;
    }
    EXPECT_TRUE(allExist(root / "etc/passwd", root / "usr/bin/tool", root / "home/alice/file"));
    EXPECT_FALSE(fs::exists(root / "home/me/x"));

    // A mount root is kept, and the answer says so rather than "ok".
    int status = inPrivateMountNamespace([&] {
        if (::mount("none", (root / "srv/mnt").c_str(), "tmpfs", 0, nullptr) != 0) return false;
        return removePickedItem((root / "srv/mnt").string(), options) ==
               "error refused: a mount point";
    });
    if (status == kNoMountNamespace) GTEST_SKIP() << "no private mount namespace here";
    EXPECT_EQ(status, 0);
}

namespace {

// A /var with package caches and logs, and a folder beside them that no clean may touch.
struct FixtureVar {
    FixtureVar() {
        dir.write("var/cache/apt/archives/tool.deb", "d");
        dir.write("var/cache/apt/archives/lock", "");
        dir.write("var/cache/apt/archives/partial/next.deb", "p");
        dir.write("var/cache/apt/archives/repo/packages/other.deb", "o");
        dir.write("var/cache/apt/archives/repo/metadata.lock", "");
        dir.write("var/log/syslog", "live");
        dir.write("var/log/syslog.1", "old");
        dir.write("var/log/app/today.log", "live");
        dir.write("var/log/app/today.log.2.gz", "old");
        dir.write("var/lib/state/db", "keep");
        dir.write("elsewhere/precious.1", "keep");
        fs::create_directory_symlink(dir / "elsewhere", dir / "var/log/linked");
    }
    std::string var() const { return (dir / "var").string(); }
    std::string at(const std::string& relative) const { return (dir / relative).string(); }
    std::string clean(int category, const std::string& relative) const {
        return cleanCategoryItem(category, at(relative), var());
    }

    TempDir dir;
};

constexpr int kCaches = CleanCategoryId::SystemCaches;
constexpr int kLogs = CleanCategoryId::SystemLogs;

}  // namespace

TEST(CategoryItemClean, OnlyInsideTheCategorysOwnFoldersAndByItsRuleAtEveryLevel) {
    FixtureVar machine;
    EXPECT_EQ(machine.clean(kLogs, "var/log/syslog.1"), "ok");
    EXPECT_FALSE(fs::exists(machine.dir / "var/log/syslog.1"));
    EXPECT_EQ(machine.clean(kCaches, "var/cache/apt/archives/tool.deb"), "ok");
    EXPECT_FALSE(fs::exists(machine.dir / "var/cache/apt/archives/tool.deb"));

    // Outside the folders, in another category's folder, the folder itself, a user category.
    for (auto [category, relative] :
         std::vector<std::pair<int, std::string>>{{kLogs, "var/lib/state/db"},
                                                  {kLogs, "elsewhere/precious.1"},
                                                  {kCaches, "var/log/app/today.log.2.gz"},
                                                  {kLogs, "var/log"},
                                                  {kLogs, "var/logbook/x.1"},
                                                  {CleanCategoryId::UserCaches, "var/log/x.1"}}) {
        EXPECT_TRUE(
            holdsAll(machine.clean(category, relative), "not in a folder of this clean category"))
            << relative;
    }
    EXPECT_EQ(machine.clean(kLogs, "var/log/../lib/state/db"),
              "error not an absolute, normalised path");
    EXPECT_TRUE(
        allExist(machine.dir / "var/lib/state/db", machine.dir / "var/log/app/today.log.2.gz"));

    // Inside them the category's rule decides at every level. A live log, a lock, the unfinished
    // downloads: kept even when asked for by name.
    EXPECT_TRUE(holdsAll(machine.clean(kLogs, "var/log/syslog"), "rule keeps it"));
    EXPECT_TRUE(holdsAll(machine.clean(kCaches, "var/cache/apt/archives/lock"), "rule keeps it"));
    EXPECT_TRUE(
        holdsAll(machine.clean(kCaches, "var/cache/apt/archives/partial/next.deb"), "keeps"));
    // A folder of logs is emptied of old logs and stays; a cache folder keeps its lock.
    EXPECT_EQ(machine.clean(kLogs, "var/log/app"), "ok");
    EXPECT_TRUE(fs::exists(machine.dir / "var/log/app/today.log"));
    EXPECT_FALSE(fs::exists(machine.dir / "var/log/app/today.log.2.gz"));
    EXPECT_EQ(machine.clean(kCaches, "var/cache/apt/archives/repo"), "ok");
    EXPECT_FALSE(fs::exists(machine.dir / "var/cache/apt/archives/repo/packages"));
    EXPECT_TRUE(fs::exists(machine.dir / "var/cache/apt/archives/repo/metadata.lock"));
    // Nothing already gone is an error; a link on the way is never followed.
    EXPECT_EQ(machine.clean(kLogs, "var/log/never-there.1"), "ok");
    EXPECT_NE(machine.clean(kLogs, "var/log/linked/precious.1").find("error"), std::string::npos);
    EXPECT_EQ(TempDir::read(machine.dir / "elsewhere/precious.1"), "keep");
    EXPECT_TRUE(allExist(machine.dir / "var/cache/apt/archives/partial/next.deb",
                         machine.dir / "var/log/syslog"));
}
