#include <gtest/gtest.h>
#include <unistd.h>
#include <cerrno>

#include "core/PrivilegedAuthorization.h"
#include "diskusage/DiskUsageFixtures.h"
#include "diskusage/DiskUsageRemoval.h"
#include "support/ScriptedHelper.h"
#include "support/TempDir.h"
#include "support/UnprivilegedChild.h"

namespace {

using Outcome = DiskUsageRemovalResult::Outcome;

class DiskUsageRemovalTest : public ::testing::Test {
  protected:
    DiskUsageRemoval removal() const {
        DiskUsageRemoval::Guard guard;
        guard.homeFolder = (dir / "users/alice").string();
        guard.isMountPoint = [this](const std::string& path) { return path == mountPoint; };
        return DiskUsageRemoval(guard);
    }
    TempDir dir;
    std::string mountPoint = "/nowhere/mounted";
};

}  // namespace

TEST(DiskUsageRemovalCover, DropsWhatLiesInsideASelectedFolderAndRepeats) {
    EXPECT_EQ(DiskUsageRemoval::minimalCover(
                  {"/d/a/f", "/d/a/", "/d/ab", "/d/a/b/c", "/d/ab", "/e/x", "/d/a"}),
              (std::vector<std::string>{"/d/a", "/d/ab", "/e/x"}));
}

TEST_F(DiskUsageRemovalTest, RefusesTheRootMountPointsTopLevelFoldersAndTheHome) {
    auto reasonFor = [&](const std::string& path) {
        return removal().refusal(path).value_or("allowed");
    };
    EXPECT_EQ(reasonFor("/"), "the root of the file system");
    EXPECT_EQ(reasonFor("/no-such-top-level-folder"), "a top-level system folder");
    EXPECT_EQ(reasonFor((dir / "users/alice").string() + "/"), "your home folder");
    EXPECT_EQ(reasonFor((dir / "users").string()), "it holds your home folder");
    EXPECT_EQ(reasonFor(mountPoint), "a mount point");
    EXPECT_EQ(reasonFor((dir / "users/alice/../bob").string()),
              "not an absolute path in its plain form");
    EXPECT_EQ(reasonFor((dir / "users/alice/Documents").string()), "allowed");
    EXPECT_EQ(reasonFor((dir / "users/alice2").string()), "allowed");

    fs::create_directories(dir / "users/alice");
    auto results = removal().removeItems({(dir / "users/alice").string()});
    ASSERT_EQ(results.size(), 1u);
    EXPECT_EQ(results[0].outcome, Outcome::Refused);
    EXPECT_TRUE(fs::exists(dir / "users/alice"));
}

TEST_F(DiskUsageRemovalTest, RemovesLinksAsLinksDanglingOnesIncluded) {
    makeFile(dir / "outside/kept", 10);
    fs::create_directories(dir / "tree");
    fs::create_symlink(dir / "outside", dir / "tree/to-outside");
    fs::create_symlink(dir / "missing", dir / "tree/dangling");
    auto results = removal().removeItems(
        {(dir / "tree/to-outside").string(), (dir / "tree/dangling").string()});
    ASSERT_EQ(results.size(), 2u);
    EXPECT_EQ(results[0].outcome, Outcome::Removed);
    EXPECT_EQ(results[1].outcome, Outcome::Removed);
    EXPECT_FALSE(fs::is_symlink(dir / "tree/to-outside"));
    EXPECT_FALSE(fs::is_symlink(dir / "tree/dangling"));
    EXPECT_TRUE(fs::exists(dir / "outside/kept"));
}

TEST_F(DiskUsageRemovalTest, AFolderAndAnItemInsideItAreRemovedOnceAndVanishedItemsAreNoFailure) {
    makeFile(dir / "tree/a/f", 10);
    auto results = removal().removeItems(
        {(dir / "tree/a/f").string(), (dir / "tree/a").string(), (dir / "tree/gone").string()});
    ASSERT_EQ(results.size(), 2u);
    EXPECT_EQ(results[0].path, (dir / "tree/a").string());
    EXPECT_EQ(results[0].outcome, Outcome::Removed);
    EXPECT_EQ(results[1].outcome, Outcome::Vanished);
    EXPECT_TRUE(results[1].gone());
    EXPECT_FALSE(fs::exists(dir / "tree/a"));
}

TEST_F(DiskUsageRemovalTest, APermissionFailureKeepsItsReasonAndOffersTheRetryWithRights) {
    if (::geteuid() != 0) GTEST_SKIP() << "needs root to try it as another user";
    fs::permissions(dir.path(), fs::perms::all);
    makeFile(dir / "theirs/file", 10);  // the folder stays the owner's, read-only for others
    fs::permissions(dir / "theirs", fs::perms::owner_all | fs::perms::group_read |
                                        fs::perms::group_exec | fs::perms::others_read |
                                        fs::perms::others_exec);
    std::string file = (dir / "theirs/file").string();
    bool asExpected = asOrdinaryUser([&] {
        auto results = removal().removeItems({file});
        return results.size() == 1 && results[0].outcome == Outcome::Failed &&
               results[0].error == EACCES && results[0].needsAdministrator &&
               results[0].reason == "Permission denied";
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
    EXPECT_EQ(results[0].outcome, Outcome::Removed);
    EXPECT_EQ(results[1].outcome, Outcome::Refused);
    EXPECT_EQ(results[2].outcome, Outcome::Vanished);
    EXPECT_EQ(helper.requests,
              (std::vector<std::string>{"ping ", "remove " + (dir / "tree/locked").string()}));

    ScriptedSession refusing("error Permission denied");
    PrivilegedAuthorization refused(std::make_shared<ScriptedLauncher>(&refusing));
    auto failed =
        removal().removeWithAdministratorRights({(dir / "tree/stubborn").string()}, refused);
    ASSERT_EQ(failed.size(), 1u);
    EXPECT_EQ(failed[0].outcome, Outcome::Failed);
    EXPECT_EQ(failed[0].reason, "it could not be removed with administrator rights either");
}
