// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>
#include <unistd.h>
#include <cerrno>

#include "core/work/PrivilegedAuthorization.h"
#include "diskusage/DiskUsageFixtures.h"
#include "diskusage/DiskUsageRemoval.h"
#include "support/ScriptedHelper.h"
#include "support/TempDir.h"
#include "support/UnprivilegedChild.h"

using namespace quillby;

namespace {

using Kind = RemovalOutcome::Kind;
using Disposal = DeletionGate::Disposal;

class DiskUsageRemovalTest : public ::testing::Test {
  protected:
    void SetUp() override { fs::create_directories(dir / "users/alice"); }
    DiskUsageRemoval removal(std::string scanRoot = {}) const {
        return DiskUsageRemoval(
            {(dir / "users/alice").string(), std::move(scanRoot), (dir / "data").string()});
    }
    TempDir dir;
};

}  // namespace

TEST(DiskUsageRemovalCover, DropsWhatLiesInsideASelectedFolderRepeatsAndEmptyPaths) {
    EXPECT_EQ(DiskUsageRemoval::minimalCover(
                  {"/d/a/f", "/d/a/", "/d/ab", "/d/a/b/c", "/d/ab", "", "/e/x", "/d/a"}),
              (std::vector<std::string>{"/d/a", "/d/ab", "/e/x"}));
}

TEST_F(DiskUsageRemovalTest, JudgesTheHomeByWhatItIsAndNeverFollowsALinkBelowTheScannedFolder) {
    // The home lives at var/home/bob and is reached through home -> var/home as well.
    makeFile(dir / "fx/var/home/bob/notes", 10);
    fs::create_directory_symlink(dir / "fx/var/home", dir / "fx/home");
    makeFile(dir / "scan/sub/file", 10);
    makeFile(dir / "elsewhere/file", 10);
    DiskUsageRemoval bob(
        {(dir / "fx/var/home/bob").string(), (dir / "fx").string(), (dir / "data").string()});
    auto throughLink = bob.removeItems({(dir / "fx/home/bob").string()}, Disposal::Trash);
    ASSERT_EQ(throughLink.size(), 1u);
    EXPECT_EQ(throughLink[0].rule, RefusalRule::LinkOnTheWay);
    // Scanned from the link itself: the home is still the home.
    auto fromLink = bob.withScanRoot((dir / "fx/home").string())
                        .removeItems({(dir / "fx/home/bob").string()}, Disposal::Trash);
    EXPECT_EQ(fromLink[0].rule, RefusalRule::HomeFolder) << fromLink[0].reason();
    EXPECT_EQ(bob.removeItems({(dir / "fx/var").string()}, Disposal::Delete)[0].rule,
              RefusalRule::HoldsHomeFolder);
    EXPECT_TRUE(fs::exists(dir / "fx/var/home/bob/notes"));

    // A folder swapped for a link after the scan leads nowhere.
    fs::rename(dir / "scan/sub", dir / "moved");
    fs::create_directory_symlink(dir / "elsewhere", dir / "scan/sub");
    auto swapped = removal((dir / "scan").string())
                       .removeItems({(dir / "scan/sub/file").string()}, Disposal::Trash);
    EXPECT_EQ(swapped[0].rule, RefusalRule::LinkOnTheWay);
    // A refusal keeps its rule's words: it is no failure of the system's.
    EXPECT_EQ(swapped[0].reason(), "a folder on the way to it is a symbolic link");
    EXPECT_FALSE(swapped[0].rightsMayHelp());
    EXPECT_EQ(removal((dir / "scan").string())
                  .removeItems({(dir / "fx/var").string()}, Disposal::Delete)[0]
                  .rule,
              RefusalRule::OutsideChosenFolder);
    EXPECT_TRUE(fs::exists(dir / "elsewhere/file"));
    EXPECT_FALSE(fs::exists(dir / "data/Trash/files"));
}

TEST_F(DiskUsageRemovalTest, MovesItemsToTheTrashOrDeletesThemLinksAsLinks) {
    struct Case {
        Disposal disposal;
        Kind kind;
    } cases[] = {{Disposal::Trash, Kind::Trashed}, {Disposal::Delete, Kind::Removed}};
    makeFile(dir / "outside/kept", 10);
    for (const auto& c : cases) {
        fs::remove_all(dir / "tree");
        makeFile(dir / "tree/folder/file", 10);
        fs::create_symlink(dir / "outside", dir / "tree/to-outside");
        fs::create_symlink(dir / "missing", dir / "tree/dangling");
        auto results = removal().removeItems(
            {(dir / "tree/folder").string(), (dir / "tree/to-outside").string(),
             (dir / "tree/dangling").string()},
            c.disposal);
        ASSERT_EQ(results.size(), 3u);
        for (const auto& result : results) EXPECT_EQ(result.kind, c.kind) << result.path;
        EXPECT_FALSE(fs::exists(dir / "tree/folder"));
        EXPECT_FALSE(fs::is_symlink(dir / "tree/to-outside"));
        EXPECT_FALSE(fs::is_symlink(dir / "tree/dangling"));
        EXPECT_TRUE(fs::exists(dir / "outside/kept"));
    }
    // The trash of the data folder holds the first round, each item with its description.
    for (const char* name : {"folder", "to-outside", "dangling"}) {
        EXPECT_TRUE(fs::is_symlink(dir / "data/Trash/files" / name) ||
                    fs::exists(dir / "data/Trash/files" / name))
            << name;
        EXPECT_TRUE(fs::exists(dir / "data/Trash/info" / (std::string(name) + ".trashinfo")));
    }
    EXPECT_TRUE(fs::exists(dir / "data/Trash/files/folder/file"));
    EXPECT_FALSE(fs::exists(dir / "data/Trash/files/folder.2"));
}

TEST_F(DiskUsageRemovalTest, APermissionFailureKeepsItsReasonAndOffersTheRetryWithRights) {
    if (::geteuid() != 0) GTEST_SKIP() << "needs root: to try it as another user";
    fs::permissions(dir.path(), fs::perms::all);
    makeFile(dir / "theirs/file", 10);  // the folder stays the owner's, read-only for others
    fs::permissions(dir / "theirs", fs::perms::owner_all | fs::perms::group_read |
                                        fs::perms::group_exec | fs::perms::others_read |
                                        fs::perms::others_exec);
    std::string file = (dir / "theirs/file").string();
    bool asExpected = asOrdinaryUser([&] {
        auto results = removal().removeItems({file}, Disposal::Trash);
        return results.size() == 1 && results[0].kind == Kind::Failed &&
               results[0].error == EACCES && results[0].rightsMayHelp() &&
               results[0].reason() == "permission denied";
    });
    EXPECT_TRUE(asExpected);
    EXPECT_TRUE(fs::exists(file));
}

TEST_F(DiskUsageRemovalTest, TheRetryAsAdministratorGoesThroughTheHelperAndKeepsRefusals) {
    makeFile(dir / "tree/locked", 10);
    makeFile(dir / "tree/stubborn", 10);
    ScriptedSession helper("ok");
    PrivilegedAuthorization rights(std::make_shared<ScriptedLauncher>(&helper));
    auto results = removal().removeWithAdministratorRights(
        {(dir / "tree/locked").string(), (dir / "users/alice").string(),
         (dir / "tree/gone").string()},
        rights);
    ASSERT_EQ(results.size(), 3u);
    EXPECT_EQ(results[0].kind, Kind::Removed);
    EXPECT_EQ(results[1].kind, Kind::Refused);
    EXPECT_EQ(results[2].kind, Kind::Vanished);
    EXPECT_EQ(helper.requests,
              (std::vector<std::string>{"ping ", "remove " + (dir / "tree/locked").string()}));

    ScriptedSession refusing("error Permission denied");
    PrivilegedAuthorization refused(std::make_shared<ScriptedLauncher>(&refusing));
    auto failed =
        removal().removeWithAdministratorRights({(dir / "tree/stubborn").string()}, refused);
    ASSERT_EQ(failed.size(), 1u);
    EXPECT_EQ(failed[0].kind, Kind::Failed);
    EXPECT_EQ(failed[0].reason(), "Permission denied");  // the helper's own reason

    // Rights not given: asked for once, every item says so.
    struct Refusing : PrivilegedHelperLauncher {
        int launches = 0;
        std::unique_ptr<PrivilegedHelperSession> launch(int& error) override {
            ++launches;
            error = EPERM;
            return nullptr;
        }
    };
    auto refusingLauncher = std::make_shared<Refusing>();
    PrivilegedAuthorization withheld(refusingLauncher);
    auto notGiven = removal().removeWithAdministratorRights(
        {(dir / "tree/stubborn").string(), (dir / "tree/locked").string()}, withheld);
    ASSERT_EQ(notGiven.size(), 2u);
    for (const auto& outcome : notGiven) {
        EXPECT_EQ(outcome.reason(), "administrator rights were not given") << outcome.path;
    }
    EXPECT_EQ(refusingLauncher->launches, 1);
    EXPECT_TRUE(fs::exists(dir / "tree/stubborn"));
}
