// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <set>

#include "CleanFixture.h"
#include "clean/CleanCategory.h"
#include "clean/SystemCleanModel.h"
#include "core/events/ParseFileLog.h"
#include "core/settings/PreferenceViewController.h"
#include "core/work/PlainMainQueue.h"
#include "support/ProcessRunner.h"
#include "support/ScriptedAsker.h"
#include "support/TempDir.h"

using namespace quillby;

namespace fs = std::filesystem;

namespace {

// Every file, link and folder below `root`, relative to it.
std::set<std::string> treeOf(const fs::path& root) {
    std::set<std::string> entries;
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        entries.insert(entry.path().lexically_relative(root).string());
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
    auto left = treeOf(machine / "home");
    std::erase_if(left, [](const std::string& entry) {
        return entry.starts_with(".local/share/com.quillby.pro");
    });
    auto commandLeft = treeOf(copy / "home");
    std::erase_if(commandLeft, [](const std::string& entry) {
        return entry.starts_with(".local/share/com.quillby.pro") ||
               entry.starts_with(".config/com.quillby.pro");
    });
    EXPECT_EQ(left, commandLeft);
}
