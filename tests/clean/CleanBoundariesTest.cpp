// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>

#include "CleanFixture.h"
#include "clean/CleanCategory.h"
#include "clean/CleanRules.h"
#include "clean/TrashRule.h"
#include "support/ChildProcess.h"
#include "support/ScriptedHelper.h"
#include "support/UnprivilegedChild.h"

using namespace quillby;

namespace fs = std::filesystem;

namespace {

// A folder elsewhere on the machine that no clean may touch.
struct Bystander {
    Bystander() {
        dir.write("files/precious", "keep");
        dir.write("info/precious.trashinfo", "keep");
        dir.write("expunged/half/x", "keep");
        dir.write("directorysizes", "keep");
    }
    void expectUntouched() const {
        for (const char* name :
             {"files/precious", "info/precious.trashinfo", "expunged/half/x", "directorysizes"}) {
            EXPECT_EQ(TempDir::read(dir / name), "keep") << name;
        }
    }
    TempDir dir;
};

void cleanTrash(const CleanFixture& machine) {
    cleanWithoutRights(foldersOf(machine, {CleanCategoryId::UserTrash}));
}

}  // namespace

TEST(CleanBoundaries, TrashFoldersBehindLinksAreNotFollowed) {
    CleanFixture machine;
    std::string uid = std::to_string(machine.platform.context().uid);
    Bystander volumeTarget, homeTarget;
    fs::remove_all(machine / ("vol1/.Trash-" + uid));
    fs::create_directory_symlink(volumeTarget.dir.path(), machine / ("vol1/.Trash-" + uid));
    fs::remove_all(machine / "home/.local/share/Trash");
    fs::create_directory_symlink(homeTarget.dir.path(), machine / "home/.local/share/Trash");
    cleanTrash(machine);
    volumeTarget.expectUntouched();
    homeTarget.expectUntouched();
    // The trash folders that are real ones are still emptied.
    EXPECT_TRUE(fs::is_empty(machine / ("vol2/.Trash/" + uid + "/files")));
}

TEST(CleanBoundaries, ATrashsInfoOrExpungedThatIsALinkIsNotEntered) {
    CleanFixture machine;
    Bystander info, expunged;
    fs::path trash = machine / "home/.local/share/Trash";
    info.dir.write("info/report.pdf.trashinfo", "keep");
    fs::remove_all(trash / "info");
    fs::remove_all(trash / "expunged");
    fs::create_directory_symlink(info.dir / "info", trash / "info");
    fs::create_directory_symlink(expunged.dir / "expunged", trash / "expunged");
    cleanTrash(machine);
    EXPECT_TRUE(fs::is_empty(trash / "files"));
    info.expectUntouched();
    EXPECT_EQ(TempDir::read(info.dir / "info/report.pdf.trashinfo"), "keep");
    expunged.expectUntouched();
}

TEST(CleanBoundaries, ASharedTrashThatIsNoLongerStickyWhenCleanedIsNotUsed) {
    CleanFixture machine;
    std::string uid = std::to_string(machine.platform.context().uid);
    auto folders = foldersOf(machine, {CleanCategoryId::UserTrash});
    // Listed while sticky; by the time of the clean anyone may swap the user's folder in it.
    fs::permissions(machine / "vol2/.Trash", fs::perms::all);
    cleanWithoutRights(folders);
    EXPECT_TRUE(fs::exists(machine / ("vol2/.Trash/" + uid + "/files/draft")));
    EXPECT_FALSE(fs::exists(machine / ("vol1/.Trash-" + uid + "/files/old-photo")));
}

TEST(CleanBoundaries, ATrashNotOwnedByTheUserIsNotUsed) {
    if (::geteuid() != 0) GTEST_SKIP() << "needs root: to give a folder to another user";
    CleanFixture machine;
    std::string uid = std::to_string(machine.platform.context().uid);
    fs::path planted = machine / ("vol1/.Trash-" + uid);
    ASSERT_EQ(::chown(planted.c_str(), kNobodyId, kNobodyId), 0);
    cleanTrash(machine);
    EXPECT_TRUE(allExist(planted / "files/old-photo", planted / "info/old-photo.trashinfo"));
}

// The same owner check without root: the folder is the tester's, the owner asked for another.
TEST(CleanBoundaries, AFolderOfAnotherOwnerThanAskedIsNotCleaned) {
    TempDir dir;
    dir.write("Trash/files/old-photo", "keep");
    dir.write("Trash/info/old-photo.trashinfo", "keep");
    CleanFolder trash{.path = dir / "Trash/files",
                      .rule = std::make_shared<TrashRule>(),
                      .base = dir.path(),
                      .owner = ::geteuid() + 1};
    cleanWithoutRights({trash});
    EXPECT_TRUE(allExist(dir / "Trash/files/old-photo", dir / "Trash/info/old-photo.trashinfo"));
}

TEST(CleanBoundaries, AnItemThatCouldNotGoKeepsItsTrashDescription) {
    if (::geteuid() != 0) GTEST_SKIP() << "needs root: to act as an ordinary user";
    TempDir dir;
    fs::permissions(dir.path(), fs::perms::all);
    dir.write("Trash/files/gone", "g");
    dir.write("Trash/files/stuck/inner", "s");
    dir.write("Trash/info/gone.trashinfo", "[Trash Info]\n");
    dir.write("Trash/info/stuck.trashinfo", "[Trash Info]\n");
    for (const char* open : {"Trash", "Trash/files", "Trash/info"}) {
        fs::permissions(dir / open, fs::perms::all);
    }
    fs::permissions(dir / "Trash/info/gone.trashinfo", fs::perms::all);
    CleanFolder trash{dir / "Trash/files", std::make_shared<TrashRule>()};
    ASSERT_TRUE(asOrdinaryUser([&] {
        cleanWithoutRights({trash});
        return true;
    }));
    EXPECT_TRUE(noneExist(dir / "Trash/files/gone", dir / "Trash/info/gone.trashinfo"));
    EXPECT_TRUE(allExist(dir / "Trash/files/stuck/inner", dir / "Trash/info/stuck.trashinfo"));
}

// The same without root: in a user namespace of the tester's own, a file bound over itself
// cannot be deleted, so its folder stays.
TEST(CleanBoundaries, AnItemThatCouldNotGoKeepsItsTrashDescriptionForAnyUser) {
    TempDir dir;
    dir.write("Trash/files/gone", "g");
    fs::path inner = dir.write("Trash/files/stuck/inner", "s");
    dir.write("Trash/info/gone.trashinfo", "[Trash Info]\n");
    dir.write("Trash/info/stuck.trashinfo", "[Trash Info]\n");
    int status = inOwnUserNamespace([&] {
        if (::mount(inner.c_str(), inner.c_str(), nullptr, MS_BIND, nullptr) != 0) {
            ::_exit(kNoMountNamespace);
        }
        cleanWithoutRights({{dir / "Trash/files", std::make_shared<TrashRule>()}});
        return true;
    });
    if (status == kNoMountNamespace) GTEST_SKIP() << "no user namespace here";
    ASSERT_EQ(status, 0);
    EXPECT_TRUE(noneExist(dir / "Trash/files/gone", dir / "Trash/info/gone.trashinfo"));
    EXPECT_TRUE(allExist(inner, dir / "Trash/info/stuck.trashinfo"));
}

TEST(CleanBoundaries, EventsCountOnlyWhatWasDeleted) {
    TempDir dir;
    dir.write("cache/tool.deb", std::string(100, 'd'));
    dir.write("cache/repo/packages/other.rpm", std::string(200, 'r'));
    dir.write("cache/repo/metadata.lock", "");
    EventRecorder recorder(kCleanEvents);
    cleanWithoutRights({{dir / "cache", std::make_shared<PackageCacheRule>()}});
    // The lock holds repo/ in place: its packages went, the folder itself is no deleted item.
    ASSERT_EQ(recorder.names(),
              (std::vector<std::string>{"BeginFastClean", "DeleteFileSuccess", "FastCleanFinish"}));
    EXPECT_EQ(recorder.records()[1].path, (dir / "cache/tool.deb").string());
    EXPECT_FALSE(fs::exists(dir / "cache/repo/packages"));
    EXPECT_TRUE(fs::exists(dir / "cache/repo/metadata.lock"));
}

TEST(CleanBoundaries, UserCategoriesNeverGoThroughTheHelper) {
    if (::geteuid() != 0) GTEST_SKIP() << "needs root: to act as an ordinary user";
    CleanFixture machine;
    machine.platform.root().write("home/.cache/theirs/file", "x");  // root's own
    for (const char* open : {"", "home", "home/.cache"}) {
        fs::permissions(machine / open, fs::perms::all);
    }
    // Rights that would reach everything: a helper that says yes and records what it was asked.
    ScriptedSession helper("ok");
    PrivilegedAuthorization rights(std::make_shared<ScriptedLauncher>(&helper));
    ASSERT_TRUE(rights.allocAuthorization());
    auto caches = foldersOf(machine, {CleanCategoryId::UserCaches});
    ASSERT_TRUE(asOrdinaryUser([&] {
        EventRecorder recorder(kCleanEvents);
        DeleteFolderOperation(caches, {.authorization = &rights}).main();
        auto names = recorder.names();
        return std::count(names.begin(), names.end(), "DeleteFileFailed") == 1 &&
               helper.requests == std::vector<std::string>{"ping "};
    }));
    EXPECT_TRUE(fs::exists(machine / "home/.cache/theirs/file"));
}
