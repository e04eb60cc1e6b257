// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <set>

#include "CleanFixture.h"
#include "clean/CleanCategory.h"
#include "clean/SystemCleanModel.h"
#include "core/events/ParseFileLog.h"
#include "core/settings/PreferenceViewController.h"
#include "core/text/UtilityFunction.h"
#include "core/work/PlainMainQueue.h"
#include "support/ChildProcess.h"
#include "support/ProcessRunner.h"
#include "support/ScriptedAsker.h"
#include "support/TempDir.h"
#include "support/UnprivilegedChild.h"

using namespace quillby;

namespace fs = std::filesystem;

namespace {

// Every file, link and folder below the home `root`, relative to it, but the program's own
// history and settings.
std::set<std::string> treeOf(const fs::path& root) {
    std::set<std::string> entries;
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        std::string relative = entry.path().lexically_relative(root).string();
        if (!relative.starts_with(".local/share/com.quillby.pro") &&
            !relative.starts_with(".config/com.quillby.pro"))
            entries.insert(relative);
    }
    return entries;
}

}  // namespace

// The page cleaning everything its scan checked and `quillby clean run` emptying the same
// categories leave the same home behind and record the same freed bytes.
TEST(PageAndCommandLine, FreeTheSameBytesOnCopiesOfOneFixture) {
    CleanFixture machine;
    TempDir copy;
    fs::copy(machine / "home", copy / "home", fs::copy_options::recursive);

    for (int id = 0; id < CleanCategoryId::Count; ++id) {
        PreferenceViewController::setCategoryClicked(id, id == 1 || id == 3 || id == 5 ? 1 : 0);
    }
    PlainMainQueue queue;
    ScriptedAsker asker;  // answers "Yes" to the Downloads question
    SystemCleanModel page({.folders = [&](int id) { return machine.folders().cleanFolders(id); },
                           .asker = &asker,
                           .mainQueue = &queue});
    // The trash of the command line's machine is not the fixture's: both leave it alone.
    page.scan();
    ASSERT_TRUE(queue.runUntil([&] { return !page.isScanning(); }));
    page.clean();
    ASSERT_TRUE(queue.runUntil([&] { return !page.isCleaning(); }));

    auto run = runProcess(QUILLBY_CLI_PATH, {"clean", "run", "--category", "1", "3", "5", "--yes"},
                          {{"HOME", (copy / "home").string()}});
    ASSERT_EQ(run.status, 0) << run.out << run.err;

    std::uint64_t pageFreed = ParseFileLog().getSize();
    std::uint64_t commandFreed = ParseFileLog(copy / "home/.local/share/com.quillby.pro").getSize();
    EXPECT_EQ(pageFreed, 102u + 200 + 3000);
    EXPECT_EQ(pageFreed, commandFreed);
    EXPECT_EQ(page.showCleanedSize(), pageFreed);
    // The page's own history record lies in the fixture's data folder; the rest is alike.
    EXPECT_EQ(treeOf(machine / "home"), treeOf(copy / "home"));
}

// As an ordinary user on a machine whose /var is the test's own, the page's system rows and
// `quillby clean scan` give the same figures, and what the user may not read needs
// administrator rights on both instead of reading as zero.
TEST(PageAndCommandLine, ShowTheSameSystemFiguresAndWhatNeedsRights) {
    if (::geteuid() != 0) GTEST_SKIP() << "needs root: for a private /var and an ordinary user";
    TestPlatform platform;
    const TempDir& machine = platform.root();
    machine.write("var/cache/apt/archives/tool_1.0_amd64.deb", std::string(400, 'd'));
    machine.write("var/log/syslog.1", std::string(10, '1'));
    machine.write("var/log/private/app.log.1", std::string(30, 'p'));
    fs::create_directories(machine / "home");
    for (const char* open : {"", "home"}) fs::permissions(machine / open, fs::perms::all);
    for (const char* closed : {"var/cache/apt/archives", "var/log/private"}) {
        fs::permissions(machine / closed, fs::perms::owner_all);
    }
    PlatformContext context = platform.context();
    context.varRoot = "/var";
    CategoryFolders folders(context, nullptr);
    auto agree = [&] {
        auto scan =
            runProcess(QUILLBY_CLI_PATH, {"clean", "scan", "--json", "--category", "0", "2"},
                       {{"HOME", (machine / "home").string()}});
        auto command = nlohmann::json::parse(scan.out, nullptr, false);
        if (scan.status != 0 || command.is_discarded()) {
            ADD_FAILURE() << scan.out << scan.err;
            return false;
        }
        PlainMainQueue queue;
        ScriptedAsker asker;
        SystemCleanModel page({.folders = [&](int id) { return folders.cleanFolders(id); },
                               .asker = &asker,
                               .mainQueue = &queue});
        page.scan();
        if (!queue.runUntil([&] { return !page.isScanning(); })) return false;
        for (const auto& category : command["categories"]) {
            int id = category["id"];
            EXPECT_EQ(page.rowBytes(id + 1), category["size"]) << id;
            EXPECT_EQ(page.list(id).unreadable, category["unreadable"]) << id;
            EXPECT_EQ(page.list(id).scanNote(), category["note"]) << id;
        }
        EXPECT_EQ(command["categories"][0]["unreadable"],
                  nlohmann::json::array({"/var/cache/apt/archives"}));
        EXPECT_EQ(page.rowSizeText(1), "needs administrator rights");
        EXPECT_EQ(page.rowSizeText(3),
                  UtilityFunction::convertVolSpace(10) + ", more needs administrator rights");
        // The child's failures reach the test through its exit status.
        return !::testing::Test::HasFailure();
    };
    int status = inPrivateMountNamespace([&] {
        return ::mount((machine / "var").c_str(), "/var", nullptr, MS_BIND, nullptr) == 0 &&
               inChildAsUser(kNobodyId, agree) == 0;
    });
    if (status == kNoMountNamespace) GTEST_SKIP() << "no private mount namespace here";
    EXPECT_EQ(status, 0);
}
