// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <unistd.h>
#include <cerrno>
#include <filesystem>

#include "core/fs/DeletionGate.h"
#include "core/fs/EntryStatus.h"
#include "core/fs/FolderHandle.h"
#include "core/fs/OwnerRights.h"
#include "core/fs/PathRules.h"
#include "core/fs/TrashCan.h"
#include "core/fs/TreeRemover.h"
#include "support/ChildProcess.h"
#include "support/TempDir.h"
#include "support/UnprivilegedChild.h"

using namespace quillby;

namespace fs = std::filesystem;

namespace {

using Kind = RemovalOutcome::Kind;
using Disposal = DeletionGate::Disposal;

// A fixture machine: its own root with system folders, the user's home two levels down, another
// account's home beside it, and a link from the home to the root.
class DeletionGateTest : public ::testing::Test {
  protected:
    void SetUp() override {
        for (const char* file :
             {"etc/passwd", "usr/bin/tool", "usr/local/share/x", "var/lib/dpkg/status",
              "srv/homes/u/docs/a", "srv/homes/u/keep", "srv/homes/v/mail", "srv/data/report",
              "srv/people/w/notes", "run/media/u/drive/film", "run/lock/pid"}) {
            dir.write("root/" + std::string(file), "bytes");
        }
        fs::create_directory_symlink(root(), root() / "srv/homes/u/rootlink");
        fs::create_directory_symlink(root() / "srv/homes/u/docs", root() / "srv/homes/u/docslink");
    }

    fs::path root() const { return dir / "root"; }

    DeletionGate gate() const {
        DeletionGate::Options options;
        options.systemRoot = root().string();
        options.home = (root() / "srv/homes/u").string();
        options.caller = ::geteuid();
        options.protectAccountHomes = false;
        options.accountHomes = {{(root() / "srv/homes/v").string(), ::geteuid() + 1},
                                {(root() / "srv/people/w").string(), ::geteuid() + 2}};
        options.dataHome = (root() / "srv/homes/u/.local/share").string();
        return DeletionGate(options);
    }

    RemovalOutcome removeBelowRoot(std::string_view relative,
                                   std::optional<ItemIdentity> listed = std::nullopt,
                                   Disposal disposal = Disposal::Delete) const {
        int error = 0;
        FolderHandle handle = FolderHandle::openTrusted(root().string(), error);
        return gate().remove(handle, root().string(), relative, listed, disposal);
    }

    static ItemIdentity identity(const fs::path& path) {
        auto status = entryStatusAt(AT_FDCWD, path.c_str());
        return identityOf(*status);
    }

    TempDir dir;
};

}  // namespace

TEST_F(DeletionGateTest, JudgesEachItemByWhatItIsAndKeepsWhatItRefuses) {
    struct Case {
        std::string relative;
        Kind kind;
        RefusalRule rule = RefusalRule::NotAPlainPath;
    };
    const Case cases[] = {
        {"etc", Kind::Refused, RefusalRule::TopLevelFolder},
        {"etc/passwd", Kind::Refused, RefusalRule::SystemFolder},
        {"usr/bin/tool", Kind::Refused, RefusalRule::SystemFolder},
        {"var/lib/dpkg/status", Kind::Refused, RefusalRule::SystemFolder},
        {"usr/local", Kind::Refused, RefusalRule::SystemFolder},
        {"srv/homes", Kind::Refused, RefusalRule::HoldsHomeFolder},
        {"srv/homes/u", Kind::Refused, RefusalRule::HomeFolder},
        {"srv/homes/v", Kind::Refused, RefusalRule::OtherUsersHome},
        {"srv/people", Kind::Refused, RefusalRule::HoldsAccountHomes},
        {"run/lock/pid", Kind::Refused, RefusalRule::SystemFolder},
        {"run/media/u/drive/film", Kind::Removed},
        {"srv/homes/u/rootlink/etc/passwd", Kind::Refused, RefusalRule::LinkOnTheWay},
        {"srv/homes/u/docslink/a", Kind::Refused, RefusalRule::LinkOnTheWay},
        {"srv/homes/u/./docs", Kind::Refused, RefusalRule::NotAPlainPath},
        {"srv/homes/u/docs/../keep", Kind::Refused, RefusalRule::NotAPlainPath},
        {"srv/homes/u/", Kind::Refused, RefusalRule::NotAPlainPath},
        {"", Kind::Refused, RefusalRule::NotAPlainPath},
        {"srv/homes/u/gone/deeper", Kind::Vanished},
        {"srv/homes/u/gone", Kind::Vanished},
        {"usr/local/share/x", Kind::Removed},
        {"srv/homes/u/docs", Kind::Removed},
    };
    for (const auto& test : cases) {
        RemovalOutcome outcome = removeBelowRoot(test.relative);
        EXPECT_EQ(outcome.kind, test.kind) << test.relative << ": " << outcome.reason();
        if (test.kind == Kind::Refused) {
            EXPECT_EQ(outcome.rule, test.rule) << test.relative;
        }
    }
    for (const char* kept : {"etc/passwd", "usr/bin/tool", "var/lib/dpkg/status",
                             "srv/homes/u/keep", "srv/homes/v/mail"}) {
        EXPECT_TRUE(fs::exists(root() / kept)) << kept;
    }
    EXPECT_TRUE(noneExist(root() / "srv/homes/u/docs", root() / "usr/local/share/x"));
    EXPECT_TRUE(fs::is_symlink(root() / "srv/homes/u/rootlink"));
}

TEST_F(DeletionGateTest, AChosenFolderMayBeALinkButNothingBelowItAndItsRootIsStillTheRoot) {
    // The user chose a link to the root: what is inside is judged as the root's own.
    std::string chosen = (root() / "srv/homes/u/rootlink").string();
    auto passwd = gate().removeInside(chosen, chosen + "/etc/passwd", {}, Disposal::Delete);
    EXPECT_EQ(passwd.rule, RefusalRule::SystemFolder) << passwd.reason();
    EXPECT_EQ(gate().removeInside(chosen, chosen + "/srv", {}, Disposal::Delete).rule,
              RefusalRule::TopLevelFolder);
    EXPECT_EQ(
        gate().removeInside(chosen, (root() / "srv/data").string(), {}, Disposal::Delete).rule,
        RefusalRule::OutsideChosenFolder);
    // Without a chosen folder nothing on the way may be a link.
    EXPECT_EQ(gate().removeInside("", chosen + "/srv/data", {}, Disposal::Delete).rule,
              RefusalRule::LinkOnTheWay);
    auto report = gate().removeInside(chosen, chosen + "/srv/data/report", {}, Disposal::Delete);
    EXPECT_EQ(report.kind, Kind::Removed) << report.reason();
    EXPECT_EQ(report.path, chosen + "/srv/data/report");
    EXPECT_TRUE(fs::exists(root() / "etc/passwd"));
}

TEST_F(DeletionGateTest, AnItemOrAFolderReplacedSinceItWasListedIsLeftAlone) {
    ItemIdentity listed = identity(root() / "srv/data/report");
    // Made while the first still exists, so it cannot reuse its inode.
    dir.write("root/srv/data/new", "another file under the same name");
    fs::rename(root() / "srv/data/new", root() / "srv/data/report");
    auto swapped = removeBelowRoot("srv/data/report", listed);
    EXPECT_EQ(swapped.rule, RefusalRule::ChangedSinceListed);
    EXPECT_TRUE(fs::exists(root() / "srv/data/report"));

    // A folder on the way swapped for a link into another tree: the walk stops at the link.
    dir.write("elsewhere/report", "not chosen");
    fs::rename(root() / "srv/data", dir / "moved-away");
    fs::create_directory_symlink(dir / "elsewhere", root() / "srv/data");
    EXPECT_EQ(removeBelowRoot("srv/data/report").rule, RefusalRule::LinkOnTheWay);
    EXPECT_TRUE(fs::exists(dir / "elsewhere/report"));

    EXPECT_EQ(removeBelowRoot("srv/homes/u/keep", identity(root() / "srv/homes/u/keep")).kind,
              Kind::Removed);
}

TEST_F(DeletionGateTest, TrashedItemsCanBePutBackAndALookRefusedIsAFailureNotAVanishing) {
    auto trashed = removeBelowRoot("srv/homes/u/docs", {}, Disposal::Trash);
    ASSERT_EQ(trashed.kind, Kind::Trashed) << trashed.reason();
    EXPECT_EQ(TempDir::read(fs::path(trashed.trashPath) / "a"), "bytes");
    EXPECT_TRUE(fs::exists(root() / "srv/homes/u/.local/share/Trash/info/docs.trashinfo"));
    EXPECT_FALSE(fs::exists(root() / "srv/homes/u/docs"));

    if (::geteuid() != 0) GTEST_SKIP() << "needs root: to look as another user";
    fs::permissions(dir.path(), fs::perms::all);
    fs::permissions(root() / "srv/data", fs::perms::owner_all);
    bool failedForRights = asOrdinaryUser([&] {
        auto outcome = removeBelowRoot("srv/data/report");
        return outcome.kind == Kind::Failed && outcome.error == EACCES && outcome.rightsMayHelp();
    });
    EXPECT_TRUE(failedForRights);
    EXPECT_TRUE(fs::exists(root() / "srv/data/report"));
}

// A mount point is refused, a bind mount of the same disk too; an item on another volume goes to
// that volume's own trash.
TEST_F(DeletionGateTest, MountPointsAreRefusedAndAnItemOnAnotherVolumeGoesToThatVolumesTrash) {
    fs::create_directories(root() / "srv/bound");
    fs::create_directories(root() / "srv/volume");
    int status = inPrivateMountNamespace([&] {
        std::string bound = (root() / "srv/bound").string();
        fs::path volume = root() / "srv/volume";
        if (::mount((root() / "srv/data").c_str(), bound.c_str(), nullptr, MS_BIND, nullptr) != 0 ||
            ::mount("none", volume.c_str(), "tmpfs", 0, nullptr) != 0) {
            return false;
        }
        bool refused = removeBelowRoot("srv/bound").rule == RefusalRule::MountPoint &&
                       removeBelowRoot("srv/volume").rule == RefusalRule::MountPoint &&
                       fs::exists(root() / "srv/data/report");
        // A shared .Trash that is not sticky is not the user's: their own .Trash-UID serves.
        fs::create_directories(volume / ".Trash");
        dir.write("root/srv/volume/photos/cat.jpg", "meow");
        auto outcome = removeBelowRoot("srv/volume/photos/cat.jpg", {}, Disposal::Trash);
        fs::path trash = volume / (".Trash-" + std::to_string(::geteuid()));
        return refused && outcome.kind == Kind::Trashed &&
               outcome.trashPath == (trash / "files/cat.jpg").string() &&
               TempDir::read(trash / "files/cat.jpg") == "meow" &&
               fs::exists(trash / "info/cat.jpg.trashinfo") && fs::is_empty(volume / ".Trash");
    });
    if (status == kNoMountNamespace) GTEST_SKIP() << "no private mount namespace here";
    EXPECT_EQ(status, 0);
}

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
    EXPECT_TRUE(allExist(dir / "item/keep", dir / "item/sub/keep"));
    EXPECT_TRUE(noneExist(dir / "item/sub/drop", dir / "item/other"));
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
    EXPECT_TRUE(allExist(dir / "parent/a/file", dir / "parent/b/file"));
}

// The user's own tree, whose folders the user may not open, goes: as the user (nobody with
// a tree of its own when the tests run as root, since root needs no rights given back).
TEST(TreeRemover, GivesTheOwnerBackTheRightsItNeeds) {
    TempDir dir;
    fs::permissions(dir.path(), fs::perms::all);  // the ordinary user may reach it
    dir.write("mine/locked/inner/file", "x");
    if (::geteuid() == 0) {
        ASSERT_EQ(::chown((dir / "mine").c_str(), kNobodyId, kNobodyId), 0);
        for (auto& entry : fs::recursive_directory_iterator(dir / "mine")) {
            ASSERT_EQ(::lchown(entry.path().c_str(), kNobodyId, kNobodyId), 0);
        }
    }
    fs::permissions(dir / "mine/locked/inner", fs::perms::owner_read | fs::perms::owner_exec);
    fs::permissions(dir / "mine/locked", fs::perms::none);
    EXPECT_TRUE(asOrdinaryUser([&] { return removeOwnItem(dir / "mine/locked"); }));
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

TEST(TrashCan, MovesItemsWithADescriptionUnderAFreeName) {
    TempDir dir;
    fs::path data = dir / "home/.local/share";
    dir.write("home/.config/app/settings", "mine");
    dir.write("home/.config/other app%/x", "second");
    TrashCan trash(data);
    std::time_t when = 1700000000;

    auto moved = trash.moveToTrash((dir / "home/.config/app").string(), when);
    ASSERT_EQ(moved.outcome, TrashCan::Outcome::Moved);
    EXPECT_EQ(moved.trashedName, "app");
    EXPECT_EQ(TempDir::read(data / "Trash/files/app/settings"), "mine");
    EXPECT_FALSE(fs::exists(dir / "home/.config/app"));
    std::string info = TempDir::read(data / "Trash/info/app.trashinfo");
    EXPECT_EQ(info, TrashCan::trashInfoText((dir / "home/.config/app").string(), when));
    EXPECT_TRUE(info.starts_with("[Trash Info]\nPath=/")) << info;
    EXPECT_TRUE(holdsAll(info, "\nDeletionDate=20"));

    // A second item of the same name gets another one; an odd name is percent-encoded.
    dir.write("home/.config/app/settings", "again");
    EXPECT_EQ(trash.moveToTrash((dir / "home/.config/app").string(), when).trashedName, "app.2");
    EXPECT_EQ(TempDir::read(data / "Trash/files/app.2/settings"), "again");
    ASSERT_EQ(trash.moveToTrash((dir / "home/.config/other app%").string(), when).outcome,
              TrashCan::Outcome::Moved);
    EXPECT_NE(TempDir::read(data / "Trash/info/other app%.trashinfo").find("other%20app%25"),
              std::string::npos);

    EXPECT_EQ(trash.moveToTrash((dir / "home/.config/gone").string()).outcome,
              TrashCan::Outcome::Missing);
    EXPECT_EQ(trash.moveToTrash("relative/path").outcome, TrashCan::Outcome::Failed);
}

TEST(TrashCan, ALinkIsMovedAsItselfAndATrashThatIsALinkIsRefused) {
    TempDir dir, elsewhere;
    elsewhere.write("precious", "keep");
    fs::create_directories(dir / "data");
    fs::create_symlink(elsewhere / "precious", dir / "link");
    TrashCan trash(dir / "data");
    ASSERT_EQ(trash.moveToTrash((dir / "link").string()).outcome, TrashCan::Outcome::Moved);
    EXPECT_TRUE(fs::is_symlink(dir / "data/Trash/files/link"));
    EXPECT_EQ(TempDir::read(elsewhere / "precious"), "keep");

    TempDir planted;
    fs::create_directories(planted / "data");
    fs::create_directory_symlink(elsewhere.path(), planted / "data/Trash");
    planted.write("item", "x");
    auto refused = TrashCan(planted / "data").moveToTrash((planted / "item").string());
    EXPECT_EQ(refused.outcome, TrashCan::Outcome::Failed);
    EXPECT_TRUE(fs::exists(planted / "item"));
    EXPECT_FALSE(fs::exists(elsewhere / "files"));
}

TEST(TrashCan, NeverOverwritesADescriptionNorMovesAnItemWithoutOne) {
    TempDir dir;
    fs::path data = dir / "data";
    // A description whose item is gone (put back by hand, say) still claims its name.
    dir.write("data/Trash/info/item.trashinfo", "[Trash Info]\nPath=/elsewhere\n");
    dir.write("item", "x");
    auto moved = TrashCan(data).moveToTrash((dir / "item").string());
    ASSERT_EQ(moved.outcome, TrashCan::Outcome::Moved);
    EXPECT_EQ(moved.trashedName, "item.2");
    EXPECT_EQ(TempDir::read(data / "Trash/info/item.trashinfo"), "[Trash Info]\nPath=/elsewhere\n");

    // A description that cannot be written (no room for it): the item stays where it was.
    dir.write("second", "y");
    int status = inChildWithFileSizeLimit(0, [&] {
        auto result = TrashCan(data).moveToTrash((dir / "second").string());
        return result.outcome == TrashCan::Outcome::Failed;
    });
    EXPECT_EQ(status, 0);
    EXPECT_EQ(TempDir::read(dir / "second"), "y");
    EXPECT_TRUE(noneExist(data / "Trash/files/second", data / "Trash/info/second.trashinfo"));
}
