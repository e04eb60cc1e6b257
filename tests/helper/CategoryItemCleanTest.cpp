// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <filesystem>

#include "clean/CleanCategory.h"
#include "helper/CategoryItemClean.h"
#include "support/TempDir.h"

using namespace quillby;

namespace fs = std::filesystem;

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
        EXPECT_NE(machine.clean(category, relative).find("not in a folder of this clean category"),
                  std::string::npos)
            << relative;
    }
    EXPECT_EQ(machine.clean(kLogs, "var/log/../lib/state/db"),
              "error not an absolute, normalised path");
    EXPECT_TRUE(fs::exists(machine.dir / "var/lib/state/db"));
    EXPECT_TRUE(fs::exists(machine.dir / "var/log/app/today.log.2.gz"));

    // Inside them the category's rule decides at every level. A live log, a lock, the unfinished
    // downloads: kept even when asked for by name.
    EXPECT_NE(machine.clean(kLogs, "var/log/syslog").find("rule keeps it"), std::string::npos);
    EXPECT_NE(machine.clean(kCaches, "var/cache/apt/archives/lock").find("rule keeps it"),
              std::string::npos);
    EXPECT_NE(machine.clean(kCaches, "var/cache/apt/archives/partial/next.deb").find("keeps"),
              std::string::npos);
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
    EXPECT_TRUE(fs::exists(machine.dir / "var/cache/apt/archives/partial/next.deb"));
    EXPECT_TRUE(fs::exists(machine.dir / "var/log/syslog"));
}
