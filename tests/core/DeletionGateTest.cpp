// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>

#include "core/fs/DeletionGate.h"
#include "core/fs/EntryStatus.h"
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
    EXPECT_FALSE(fs::exists(root() / "srv/homes/u/docs"));
    EXPECT_FALSE(fs::exists(root() / "usr/local/share/x"));
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
