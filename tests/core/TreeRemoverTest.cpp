// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>

#include "core/fs/DeletionGate.h"
#include "core/fs/EntryStatus.h"
#include "core/fs/FolderHandle.h"
#include "core/fs/OwnerRights.h"
#include "core/fs/PathRules.h"
#include "core/fs/TreeRemover.h"
#include "support/TempDir.h"
#include "support/UnprivilegedChild.h"

using namespace quillby;

namespace fs = std::filesystem;

namespace {

// Keeps every entry named "keep", wherever it is.
class KeepNamedKeep : public EntryJudge {
  public:
    EntryVerdict judge(const JudgedEntry& entry) const override {
        return entry.name == "keep" ? EntryVerdict::Keep : EntryVerdict::Clean;
    }
};

// Removes a user's own item through the deletion gate, from the folder holding it as the user
// reaches it; true when it is gone.
bool removeOwnItem(const fs::path& path) {
    DeletionGate::Options options;
    options.caller = ::geteuid();
    options.protectAccountHomes = false;
    return DeletionGate(options)
        .removeInside(path.parent_path().string(), path.string(), std::nullopt,
                      DeletionGate::Disposal::Delete)
        .gone();
}

}  // namespace

TEST(TreeRemover, RemovesLinksAsLinksAndNothingOutside) {
    TempDir dir;
    TempDir outside;
    outside.write("precious", "do not touch");
    outside.write("folder/also", "do not touch");
    dir.write("item/a/b/c", "1");
    fs::create_symlink(outside / "precious", dir / "item/link-to-file");
    fs::create_directory_symlink(outside / "folder", dir / "item/a/link-to-folder");

    RemovalReport report = TreeRemover().removePath((dir / "item").string());
    EXPECT_TRUE(report.removed);
    EXPECT_FALSE(report.failed());
    EXPECT_EQ(report.removedEntries, 6u);
    EXPECT_FALSE(fs::exists(fs::symlink_status(dir / "item")));
    EXPECT_EQ(TempDir::read(outside / "precious"), "do not touch");
    EXPECT_EQ(TempDir::read(outside / "folder/also"), "do not touch");
}

TEST(TreeRemover, AskedAgainAtEveryLevelKeepsWhatTheJudgeKeeps) {
    TempDir dir;
    dir.write("item/keep", "k");
    dir.write("item/sub/keep", "k");
    dir.write("item/sub/drop", "d");
    dir.write("item/other/drop", "d");
    KeepNamedKeep judge;
    int error = 0;
    FolderHandle parent = FolderHandle::openFolder(dir.path().string(), error);
    ASSERT_TRUE(parent.isOpen());
    RemovalReport report =
        TreeRemover({.judge = &judge})
            .removeEntry(parent, dir.path().string(), "item", EntryVerdict::Clean, 1);
    EXPECT_FALSE(report.removed);
    EXPECT_TRUE(report.keptSome);
    EXPECT_FALSE(report.failed());
    EXPECT_TRUE(fs::exists(dir / "item/keep"));
    EXPECT_TRUE(fs::exists(dir / "item/sub/keep"));
    EXPECT_FALSE(fs::exists(dir / "item/sub/drop"));
    EXPECT_FALSE(fs::exists(dir / "item/other"));
}

TEST(TreeRemover, PathsThroughLinksAndPathsThatAreNotNormalised) {
    TempDir dir;
    dir.write("real/victim/file", "x");
    fs::create_directory_symlink(dir / "real", dir / "alias");
    RemovalReport refused = TreeRemover().removePath((dir / "alias/victim").string());
    EXPECT_FALSE(refused.removed);
    ASSERT_TRUE(refused.failed());
    EXPECT_EQ(refused.failures.front().error, ELOOP);
    EXPECT_TRUE(fs::exists(dir / "real/victim/file"));

    // A user's own path may lead through a link; the item itself is still not followed.
    EXPECT_TRUE(removeOwnItem(dir / "alias/victim"));
    EXPECT_FALSE(fs::exists(dir / "real/victim"));
    EXPECT_TRUE(removeOwnItem(dir / "alias"));
    EXPECT_TRUE(fs::exists(dir / "real"));
    EXPECT_TRUE(removeOwnItem(dir / "missing"));

    // Plain removal takes only normalised paths: "a/." names a, and "a/.." the folder holding
    // it; neither is what was meant.
    dir.write("parent/a/file", "x");
    dir.write("parent/b/file", "x");
    EXPECT_FALSE(removeOwnItem((dir / "parent/a").string() + "/."));
    EXPECT_FALSE(removeOwnItem((dir / "parent/a").string() + "/.."));
    EXPECT_FALSE(removeOwnItem((dir / "parent/a").string() + "/"));
    EXPECT_FALSE(removeOwnItem("parent/a"));
    EXPECT_TRUE(fs::exists(dir / "parent/a/file"));
    EXPECT_TRUE(fs::exists(dir / "parent/b/file"));
}

TEST(TreeRemover, GivesTheOwnerBackTheRightsItNeeds) {
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs root: to act as an ordinary user with a tree of its own";
    TempDir dir;
    fs::permissions(dir.path(), fs::perms::all);  // the ordinary user may reach it
    dir.write("mine/locked/inner/file", "x");
    for (auto& entry : fs::recursive_directory_iterator(dir / "mine")) {
        ASSERT_EQ(::lchown(entry.path().c_str(), kNobodyId, kNobodyId), 0);
    }
    ASSERT_EQ(::chown((dir / "mine").c_str(), kNobodyId, kNobodyId), 0);
    fs::permissions(dir / "mine/locked/inner", fs::perms::owner_read | fs::perms::owner_exec);
    fs::permissions(dir / "mine/locked", fs::perms::none);
    int status = inChildAsUser(kNobodyId, [&] { return removeOwnItem(dir / "mine/locked"); });
    EXPECT_EQ(status, 0);
    EXPECT_FALSE(fs::exists(dir / "mine/locked"));
}

TEST(OwnerRights, ChangeTheFolderItselfNeverALinksTarget) {
    TempDir dir;
    fs::create_directories(dir / "target");
    fs::create_directories(dir / "locked");
    fs::permissions(dir / "target", fs::perms::owner_read | fs::perms::owner_exec);
    fs::permissions(dir / "locked", fs::perms::none);
    fs::create_directory_symlink(dir / "target", dir / "link");
    int error = 0;
    FolderHandle parent = FolderHandle::openFolder(dir.path().string(), error);
    ASSERT_TRUE(parent.isOpen());
    EXPECT_FALSE(giveOwnerFolderRights(parent.fd(), "link"));
    EXPECT_EQ(fs::status(dir / "target").permissions(),
              fs::perms::owner_read | fs::perms::owner_exec);
    EXPECT_TRUE(giveOwnerFolderRights(parent.fd(), "locked"));
    EXPECT_EQ(fs::status(dir / "locked").permissions(), fs::perms::owner_all);
    EXPECT_FALSE(giveOwnerFolderRights(parent.fd(), "missing"));
}

TEST(PathRules, NormalisedAbsolutePaths) {
    for (const char* good : {"/a", "/var/log/x.1", "/a b/c\nd"}) {
        EXPECT_TRUE(isNormalizedAbsolutePath(good)) << good;
    }
    for (const char* bad : {"", "/", "a/b", "/a/", "/a//b", "/a/./b", "/a/../b", "/..", "./a"}) {
        EXPECT_FALSE(isNormalizedAbsolutePath(bad)) << bad;
    }
    EXPECT_EQ(pathComponentCount("/var/log"), 2);
}
