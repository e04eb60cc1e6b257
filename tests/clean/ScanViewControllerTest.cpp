// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <set>
#include <thread>

#include "CleanFixture.h"
#include "clean/CleanCategory.h"
#include "clean/ScanViewController.h"
#include "core/events/EventBus.h"
#include "core/events/Events.h"
#include "core/settings/PreferenceViewController.h"
#include "core/text/UtilityFunction.h"
#include "core/work/PlainMainQueue.h"

using namespace quillby;

namespace fs = std::filesystem;

namespace {

std::set<std::string> namesOf(const std::vector<CleanFileInfo>& records) {
    std::set<std::string> names;
    for (const auto& record : records) names.insert(record.name);
    return names;
}

void scan(PlainMainQueue& queue, ScanViewController& list, const CleanFixture& machine) {
    list.beginScanTask(machine.folders().cleanFolders(list.aTag));
    ASSERT_TRUE(queue.runUntil([&] { return list.scanFinished.get(); }));
}

void clean(PlainMainQueue& queue, ScanViewController& list) {
    list.beginCleanTask();
    ASSERT_TRUE(queue.runUntil([&] { return list.cleanFinished.get(); }));
}

void check(ScanViewController& list, const std::set<std::string>& names) {
    auto records = list.scanFiles.get();
    for (auto& record : records) record.bIsSelected = names.count(record.name) > 0;
    list.scanFiles.set(records);
}

}  // namespace

TEST(ListingScan, ListsOnlyWhatEachCategoryMayDelete) {
    CleanFixture machine;
    PlainMainQueue queue;
    int summaries = 0;
    auto counted = EventBus::defaultCenter().observe(Events::cleanShowSelectNumInBottom,
                                                     [&](const Event&) { ++summaries; });
    std::vector<std::unique_ptr<ScanViewController>> lists;
    for (int id = 0; id < CleanCategoryId::Count; ++id) {
        lists.push_back(std::make_unique<ScanViewController>(id));
        lists.back()->beginScanTask(machine.folders().cleanFolders(id));
    }
    ASSERT_TRUE(queue.runUntil([&] {
        return std::all_of(lists.begin(), lists.end(),
                           [](auto& l) { return l->scanFinished.get(); });
    }));
    EXPECT_EQ(summaries, CleanCategoryId::Count);

    EXPECT_EQ(namesOf(lists[0]->scanFiles.get()),
              (std::set<std::string>{"tool_1.0_amd64.deb", "fedora-1a2b"}));
    EXPECT_EQ(lists[0]->filesSize.get(), UtilityFunction::convertVolSpace(400 + 700));
    EXPECT_EQ(namesOf(lists[1]->scanFiles.get()), (std::set<std::string>{"fontconfig", ".hidden"}));
    EXPECT_EQ(namesOf(lists[2]->scanFiles.get()),
              (std::set<std::string>{"syslog.1", "syslog.2.gz", "access.log.1",
                                     "history.log-20240101", "system@0001-0002.journal"}));
    EXPECT_EQ(namesOf(lists[3]->scanFiles.get()),
              (std::set<std::string>{"x.log", "x.log.1", "logs", ".xsession-errors.old"}));
    EXPECT_EQ(namesOf(lists[4]->scanFiles.get()),
              (std::set<std::string>{"report.pdf", "album", "old-photo", "draft"}));
    EXPECT_EQ(namesOf(lists[5]->scanFiles.get()), (std::set<std::string>{"setup.iso"}));

    // Sizes come from the size walk; the total is the sum of the items.
    EXPECT_EQ(lists[2]->filesSize.get(), UtilityFunction::convertVolSpace(150));
    for (const auto& record : lists[4]->scanFiles.get()) {
        if (record.name == "album") {
            EXPECT_EQ(record.fileSizeNum, 2000u);
            EXPECT_EQ(record.path, (machine / "home/.local/share/Trash/files/album").string());
            EXPECT_EQ(record.icon, "folder");
            EXPECT_FALSE(record.bIsSelected);
        }
    }
}

TEST(ListingScan, EmptyFolderLeavesTheTotalAndAStopEndsAfterTheCurrentEntry) {
    CleanFixture machine;
    PlainMainQueue queue;
    fs::remove_all(machine / "home/Downloads/setup.iso");
    ScanViewController downloads(CleanCategoryId::UserDownloads);
    int changes = 0;
    auto watching = downloads.filesSize.observe([&](const std::string&) { ++changes; });
    scan(queue, downloads, machine);
    EXPECT_TRUE(downloads.scanFiles.get().empty());
    EXPECT_EQ(changes, 0);
    EXPECT_EQ(downloads.filesSize.get(), "0.00 KB");

    ScanViewController logs(CleanCategoryId::SystemLogs);
    auto stopping = logs.filesSize.observe([&](const std::string&) { logs.requestStop(); });
    scan(queue, logs, machine);
    EXPECT_EQ(logs.scanFiles.get().size(), 1u);
    EXPECT_EQ(logs.scanNote(), "scan stopped");
    stopping.reset();
    // A new scan starts afresh rather than ending at once.
    scan(queue, logs, machine);
    EXPECT_EQ(logs.scanFiles.get().size(), 5u);
    EXPECT_EQ(logs.scanNote(), "");
}

TEST(PerItemClean, DeletesTheCheckedItemsAndKeepsWhatFails) {
    CleanFixture machine;
    PlainMainQueue queue;
    ScanViewController logs(CleanCategoryId::UserLogs);
    scan(queue, logs, machine);
    check(logs, {"x.log", "logs", ".xsession-errors.old", "x.log.1"});
    // Between the scan and the clean, one item became something the rule keeps.
    fs::remove(machine / "home/.local/state/app/x.log.1");
    fs::create_directories(machine / "home/.local/state/app/x.log.1/inner");
    std::uint64_t before = UtilityFunction::getVolSpaceFromString(logs.filesSize.get());
    clean(queue, logs);

    EXPECT_TRUE(noneExist(machine / "home/.local/state/app/x.log",
                          machine / "home/.local/state/app/logs",
                          machine / "home/.xsession-errors.old"));
    EXPECT_TRUE(allExist(machine / "home/.local/state/app/x.log.1/inner",
                         machine / "home/.local/state/app/state.db",
                         machine / "home/.xsession-errors", machine / "home/notes.txt"));
    EXPECT_EQ(logs.iCleanSize, 40u + 50 + 80);
    EXPECT_EQ(before, 200u);
    EXPECT_EQ(logs.filesSize.get(), UtilityFunction::convertVolSpace(30));
    auto left = logs.scanFiles.get();
    ASSERT_EQ(left.size(), 1u);
    EXPECT_EQ(left[0].name, "x.log.1");
    EXPECT_TRUE(left[0].bIsSelected);
    ASSERT_EQ(logs.selDelFiles.size(), 1u);
}

// Clicks change the list and its check states on the main thread; a scan or a clean running
// meanwhile changes neither from its worker, so no click is lost and no state is raced for.
TEST(PerItemClean, TheListAndItsChecksChangeOnlyOnTheMainThread) {
    CleanFixture machine;
    PlainMainQueue queue;
    ScanViewController logs(CleanCategoryId::UserLogs);
    const auto mainThread = std::this_thread::get_id();
    std::atomic<int> offMain{0};
    auto watching = logs.scanFiles.observe([&](const std::vector<CleanFileInfo>&) {
        if (std::this_thread::get_id() != mainThread) ++offMain;
    });
    scan(queue, logs, machine);
    check(logs, {"x.log", "logs"});
    logs.beginCleanTask();
    EXPECT_FALSE(logs.selectAllOn);
    ASSERT_EQ(logs.selDelFiles.size(), 2u);  // taken when the clean starts
    logs.setObjectValueForCheckBox(0);       // clicks while it runs
    logs.cleanShowSelectNumInBottom(false);
    ASSERT_TRUE(queue.runUntil([&] { return logs.cleanFinished.get(); }));
    EXPECT_FALSE(fs::exists(machine / "home/.local/state/app/x.log"));
    EXPECT_EQ(offMain, 0);
    EXPECT_EQ(namesOf(logs.scanFiles.get()).count("x.log"), 0u);
    logs.beginScanTask(machine.folders().cleanFolders(logs.aTag));
    logs.setAllCheckBoxSelect();
    ASSERT_TRUE(queue.runUntil([&] { return logs.scanFinished.get(); }));
    EXPECT_EQ(offMain, 0);
}

TEST(PerItemClean, TotalClampsAtZeroAndTrashInfoGoesWithItsItem) {
    CleanFixture machine;
    PlainMainQueue queue;
    ScanViewController trash(CleanCategoryId::UserTrash);
    scan(queue, trash, machine);
    check(trash, {"report.pdf", "old-photo"});
    trash.filesSize.set("0.10 KB");
    clean(queue, trash);
    EXPECT_EQ(trash.filesSize.get(), "0.00 KB");
    EXPECT_EQ(trash.iCleanSize, 1500u);
    std::string uid = std::to_string(machine.platform.context().uid);
    EXPECT_TRUE(noneExist(machine / "home/.local/share/Trash/info/report.pdf.trashinfo",
                          machine / ("vol1/.Trash-" + uid + "/info/old-photo.trashinfo")));
    EXPECT_TRUE(allExist(machine / "home/.local/share/Trash/info/album.trashinfo",
                         machine / "home/.local/share/Trash/info/ghost.trashinfo"));
    EXPECT_EQ(namesOf(trash.scanFiles.get()), (std::set<std::string>{"album", "draft"}));
}

TEST(PerItemClean, EachItemGoesBackToTheFolderItWasFoundIn) {
    CleanFixture machine;
    // The home folder is one of the user logs' folders and holds the Xorg log folder too.
    machine.platform.root().write("home/.local/share/xorg/Xorg.0.log.old", std::string(60, 'x'));
    PlainMainQueue queue;
    ScanViewController logs(CleanCategoryId::UserLogs);
    scan(queue, logs, machine);
    check(logs, {"Xorg.0.log.old"});
    clean(queue, logs);
    EXPECT_FALSE(fs::exists(machine / "home/.local/share/xorg/Xorg.0.log.old"));
    EXPECT_EQ(logs.iCleanSize, 60u);
    EXPECT_EQ(namesOf(logs.scanFiles.get()).count("Xorg.0.log.old"), 0u);
}

TEST(ReviewList, CheckStatesFollowTheCategorySetting) {
    TestPlatform platform;
    ScanViewController list(CleanCategoryId::UserCaches);
    std::vector<bool> senders;
    auto summaries = EventBus::defaultCenter().observe(
        Events::cleanShowSelectNumInBottom,
        [&](const Event& event) { senders.push_back(std::any_cast<bool>(event.object)); });

    // Select-all on an empty list stores "none" and tells the page with a false sender.
    list.cleanShowSelectNumInBottom(true);
    EXPECT_EQ(PreferenceViewController::categoryClicked(1), 0);
    EXPECT_FALSE(list.selectAllOn);
    ASSERT_EQ(senders, std::vector<bool>{false});

    list.scanFiles.set({CleanFileInfo("folder", "only", "/c/only", "1.00 KB", 1000)});
    list.setObjectValueForCheckBox(0);
    EXPECT_EQ(PreferenceViewController::categoryClicked(1), 1);
    EXPECT_TRUE(list.selectAllOn);
    EXPECT_TRUE(list.isSlected);

    list.scanFiles.set({CleanFileInfo("folder", "b", "/c/b", "2.00 KB", 2000),
                        CleanFileInfo("folder", "a", "/c/a", "1.00 MB", 1000000),
                        CleanFileInfo("folder", "c", "/c/c", "3.00 KB", 3000)});
    list.setAllCheckBoxSelect();
    EXPECT_EQ(list.getSelectAllOrNull(), 1);
    list.setObjectValueForCheckBox(1);
    EXPECT_EQ(PreferenceViewController::categoryClicked(1), 2);
    EXPECT_FALSE(list.selectAllOn);
    EXPECT_EQ(senders.back(), false);
    list.getSelectPath("clean");
    ASSERT_EQ(list.selDelFiles.size(), 2u);
    EXPECT_EQ(list.selDelFiles[0].name, "b");
    list.setNoCheckBoxSelect();
    EXPECT_EQ(list.getSelectAllOrNull(), 0);

    list.sortScanFiles("Size", false);
    EXPECT_EQ(list.scanFiles.get().front().name, "a");
    list.sortScanFiles("Name", true);
    EXPECT_EQ(list.scanFiles.get().front().name, "a");
    EXPECT_EQ(list.scanFiles.get().back().name, "c");

    // The check-box cell: off turns on quietly; on turns off and tells the page the row.
    std::vector<int> rows;
    auto selected = EventBus::defaultCenter().observe(
        Events::selectedRowInFastClean,
        [&](const Event& event) { rows.push_back(std::any_cast<int>(event.object)); });
    EXPECT_TRUE(list.CellClick(2, false));
    EXPECT_TRUE(rows.empty());
    EXPECT_FALSE(list.CellClick(2, true));
    EXPECT_EQ(rows, std::vector<int>{2});
}

TEST(ReviewList, RevealShowsTheFolderOrTheParent) {
    TestPlatform platform;
    platform.root().write("logs/app.log", "x");
    ScanViewController list(CleanCategoryId::UserLogs);
    std::vector<fs::path> opened;
    list.revealFolder = [&](const fs::path& folder) {
        opened.push_back(folder);
        return true;
    };
    list.scanFiles.set(
        {CleanFileInfo("", "app.log", (platform.root() / "logs/app.log").string(), "", 1),
         CleanFileInfo("", "logs", (platform.root() / "logs").string(), "", 1)});
    EXPECT_EQ(list.openFinder(0), platform.root() / "logs");
    EXPECT_EQ(list.openFinder(1), platform.root() / "logs");
    EXPECT_FALSE(list.openFinder(2));
    EXPECT_EQ(opened.size(), 2u);
}
