// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <cerrno>
#include <fstream>
#include <map>
#include <tuple>

#include "core/settings/SettingsKeys.h"
#include "core/settings/UserDefaults.h"
#include "core/text/UtilityFunction.h"
#include "core/work/PlainMainQueue.h"
#include "diskusage/DiskUsageAppController.h"
#include "diskusage/DiskUsageFixtures.h"
#include "diskusage/FileSystemBrowserModel.h"
#include "support/ScriptedAsker.h"
#include "support/TestPlatform.h"

using namespace quillby;

namespace {

// The tool over a home folder (a/ with 3000 bytes) and one local volume (v/ with 2000 bytes).
class DiskUsageAppControllerTest : public ::testing::Test {
  protected:
    void SetUp() override {
        home = platform.root().path() / "alice";
        volume = platform.root().path() / "v";
        makeFile(home / "a/f", 3000);
        makeFile(volume / "g", 2000);
        fs::create_directories(platform.root().path() / "empty");
        UserDefaults::standardUserDefaults().setBool(true, SettingsKey::QWDiskUsageShowStyle);
        controller = std::make_unique<DiskUsageAppController>(environment());
        pages = controller->pageMode.observe([this](const int& mode) { shown.push_back(mode); });
    }
    DiskUsageAppController::Environment environment() {
        DiskUsageAppController::Environment environment;
        environment.userName = "alice";
        environment.homeFolder = home.string();
        VolumeFacts local{.name = "Data",
                          .rootPath = volume.string(),
                          .totalBytes = 2'000'000'000,
                          .freeBytes = 500'000'000};
        VolumeFacts network = local;
        network.name = "nas";
        network.network = true;
        environment.volumes = {local, network};
        environment.asker = asker;
        environment.queue = &queue;
        return environment;
    }
    // Lets the running scan finish and its finish step run.
    void finish() {
        ASSERT_TRUE(queue.runUntil([this] { return controller->bSearchFinished(); }));
    }

    TestPlatform platform;
    PlainMainQueue queue;
    fs::path home;
    fs::path volume;
    std::shared_ptr<ScriptedAsker> asker = std::make_shared<ScriptedAsker>();
    std::unique_ptr<DiskUsageAppController> controller;
    std::vector<int> shown;
    Subscription pages;
};

}  // namespace

// The chosen folder's row stays hidden until a folder is chosen; a row shows its path cut.
TEST_F(DiskUsageAppControllerTest, ThePathListHoldsTheUserTheLocalVolumesAndTheChosenFolderRow) {
    auto rows = controller->leftCellArr.get();
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].name, "alice");
    EXPECT_EQ(rows[0].pathName, home.string());
    EXPECT_EQ(rows[1].name, "Data");
    EXPECT_EQ(rows[1].freeSize, "500.00 MB");
    EXPECT_TRUE(rows[2].hidden);
    EXPECT_EQ(controller->customRowNum(), 2);

    controller->folderChosen(volume.string() + "/");
    finish();
    rows = controller->leftCellArr.get();
    EXPECT_EQ(rows[2].name, "v");
    EXPECT_EQ(rows[2].selectedType, 1);
    EXPECT_EQ(rows[0].selectedType, 0);
    EXPECT_EQ(controller->selectState(), 2);
    EXPECT_EQ(rows[2].usedSize, "2.00 KB");
    controller->folderChoiceCancelled();
    EXPECT_EQ(controller->scanPathStr, volume.string() + "/");

    DiskUsageLeftCell cell;
    cell.pathName = "/home/alice/Projects";
    EXPECT_EQ(cell.shownPath(), "/home/alice/...");
    cell.selectedType = 1;
    EXPECT_EQ(cell.shownPath(), "/home/alice/Pro...");
}

// A row click during a scan does nothing; a second click on a scanned row shows its results
// without a scan.
TEST_F(DiskUsageAppControllerTest, RowClicksScanOnceAndNeverDuringAScan) {
    controller->clickRow(0);
    EXPECT_FALSE(controller->bSearchFinished());
    controller->clickRow(1);
    EXPECT_FALSE(controller->getLocalPath());
    EXPECT_EQ(controller->nowClickCell(), 0);
    EXPECT_EQ(controller->beforeSelectRow(), 0);
    finish();
    EXPECT_EQ(shown, (std::vector<int>{1, 2}));
    EXPECT_EQ(controller->diskView().currentPath(), home.string() + "/");
    EXPECT_EQ(controller->leftCellArr.get()[0].usedSize, "3.00 KB");

    controller->clickRow(1);
    finish();
    controller->diskView().back();
    controller->clickRow(1);
    EXPECT_TRUE(controller->bSearchFinished());
    EXPECT_EQ(shown, (std::vector<int>{1, 2, 1, 2, 2}));
    EXPECT_EQ(controller->diskView().currentPath(), volume.string() + "/");
}

TEST_F(DiskUsageAppControllerTest, TheDisplayModeIsStoredAtOnceAndUsedFromTheNextScan) {
    controller->clickRow(0);
    controller->setShowStyle(false);
    EXPECT_FALSE(settingAsBool(
        *UserDefaults::standardUserDefaults().storedValue(SettingsKey::QWDiskUsageShowStyle)));
    finish();
    EXPECT_TRUE(controller->resultsInRing());
    EXPECT_NE(controller->diskView().chart(), nullptr);

    controller->folderChosen(volume.string());
    finish();
    EXPECT_FALSE(controller->resultsInRing());
    ASSERT_NE(controller->browserRoot(), nullptr);
    EXPECT_EQ(controller->browserRoot()->size, 2000u);
    EXPECT_EQ(controller->beforeSelectRow(), controller->customRowNum());
    EXPECT_FALSE(controller->leftCellArr.get()[2].hidden);
}

TEST_F(DiskUsageAppControllerTest, ABrowserScanThatFindsNothingSaysSoAndEndsAsStopped) {
    controller->setShowStyle(false);
    controller->dropFolder((platform.root().path() / "empty").string());
    finish();
    ASSERT_EQ(asker->messages.size(), 1u);
    EXPECT_EQ(asker->messages[0], DiskUsageAppController::kNothingFoundAlert);
    EXPECT_EQ(shown.back(), DiskUsageAppController::kPathChoice);
    EXPECT_EQ(controller->browserRoot(), nullptr);
}

TEST_F(DiskUsageAppControllerTest, TheColumnBrowserIsTheDefaultOnlyWhereTheBuildHasOne) {
    TestPlatform fresh;
    DiskUsageAppController browser(environment());
    EXPECT_FALSE(browser.showStyle());
    TestPlatform another;
    auto ringOnly = environment();
    ringOnly.columnBrowserAvailable = false;
    DiskUsageAppController ring(ringOnly);
    EXPECT_TRUE(ring.showStyle());
}

TEST_F(DiskUsageAppControllerTest, AScanFileOpensAsItsOwnRowWithItsTreeMarkedImported) {
    // a/ holds files above and below the 1 KB limit beside its own subfolder.
    auto& defaults = UserDefaults::standardUserDefaults();
    defaults.setInteger(1, SettingsKey::QWDiskUsageLimit);
    defaults.setInteger(1, SettingsKey::QWDiskUsageUnit);
    makeFile(home / "a/big", 5000);
    makeFile(home / "a/small", 10);
    makeFile(home / "a/sub/x", 100);
    auto& page = controller->diskView();
    using Row = std::tuple<std::string, std::string, std::uint64_t, bool>;
    auto rowsOf = [&](const std::string& folder) {
        page.showFolder(folder);
        EXPECT_EQ(page.currentPath(), folder);
        std::vector<Row> rows;
        for (const auto& item : page.rows())
            rows.emplace_back(item.name, item.path, item.fileSizeNum, item.isDirectory);
        return rows;
    };
    controller->clickRow(0);
    finish();
    const std::string inA = (home / "a").string() + "/";
    std::vector<Row> live = rowsOf(inA);
    ASSERT_EQ(live, (std::vector<Row>{{"big", inA + "big", 5000, false},
                                      {"f", inA + "f", 3000, false},
                                      {"sub", inA + "sub", 100, true}}));

    fs::path file = platform.root().path() / "alice.json";
    ASSERT_TRUE(exportScanFile(home, file));
    // The tree and its listings come from the file alone, not from the disk.
    fs::rename(home / "a", platform.root().path() / "moved");
    shown.clear();
    ASSERT_TRUE(controller->openScanFile(file.string()));
    EXPECT_FALSE(controller->openScanFile(file.string()));  // one at a time
    finish();
    EXPECT_EQ(shown, (std::vector<int>{1, 2}));
    EXPECT_TRUE(controller->resultsInRing());
    ASSERT_EQ(controller->scanFileRowNum(), 3);
    auto row = controller->leftCellArr.get()[3];
    EXPECT_EQ(row.name, "alice.json");
    EXPECT_EQ(row.pathName, file.string());
    EXPECT_EQ(row.selectedType, 1);
    EXPECT_TRUE(row.isScaned);

    ASSERT_NE(page.chart(), nullptr);
    EXPECT_TRUE(page.imported());
    EXPECT_FALSE(page.mayOpenOrReveal());
    EXPECT_EQ(page.originText(),
              "Imported from alice.json, written by quillby 4.0 on 2023-11-14 22:13 UTC");
    EXPECT_EQ(page.currentFolder().fileSizeNum, 8110u);
    ASSERT_EQ(page.rows().size(), 1u);
    EXPECT_EQ(page.rows()[0].name, "a");
    EXPECT_EQ(page.rows()[0].fileSizeNum, 8110u);
    // A folder lists its files from the file as a live scan lists them from the disk.
    EXPECT_EQ(rowsOf(inA), live);
    page.showFolder(home.string());

    // Removal is refused by the model, whatever a page offers.
    page.changeSelectArr(page.rows()[0], true);
    EXPECT_TRUE(page.selection().empty());
    EXPECT_FALSE(page.removeEnabled());
    EXPECT_TRUE(page.removalList().empty());
    page.removalFinished({RemovalOutcome::vanished((home / "a").string())});
    EXPECT_EQ(page.currentFolder().fileSizeNum, 8110u);

    // Its row shows the tree again without reading the file; a live scan is not imported.
    controller->clickRow(3);
    EXPECT_TRUE(controller->bSearchFinished());
    EXPECT_EQ(shown.back(), 2);
    controller->clickRow(1);
    finish();
    EXPECT_FALSE(page.imported());
    EXPECT_TRUE(page.originText().empty());
}

// A stopped scan, a stopped load and a file that is no scan file all end back at the path list,
// with no row and nothing shown; only the bad file is named in an alert, with the reader's reason.
TEST_F(DiskUsageAppControllerTest, AStopOrABadScanFileReturnsToThePathListWithNothingShown) {
    controller->clickRow(0);
    controller->stopScan();
    EXPECT_TRUE(controller->bStopTask());
    finish();
    EXPECT_EQ(shown, (std::vector<int>{1, 0}));
    EXPECT_EQ(controller->diskView().chart(), nullptr);
    EXPECT_TRUE(controller->bSearchFinished());

    fs::path file = platform.root().path() / "alice.json";
    ASSERT_TRUE(exportScanFile(home, file));
    fs::path bad = platform.root().path() / "notes.json";
    std::ofstream(bad) << "{\"not\": \"a scan\"}";
    ASSERT_TRUE(controller->openScanFile(file.string()));
    EXPECT_EQ(controller->progress().path, file.string());
    controller->stopScan();
    finish();
    EXPECT_EQ(shown, (std::vector<int>{1, 0, 1, 0}));
    EXPECT_TRUE(asker->messages.empty());
    EXPECT_EQ(controller->scanFileRowNum(), -1);
    EXPECT_EQ(controller->diskView().chart(), nullptr);

    ASSERT_TRUE(controller->openScanFile(bad.string()));
    finish();
    EXPECT_EQ(shown, (std::vector<int>{1, 0, 1, 0, 1, 0}));
    ASSERT_EQ(asker->messages.size(), 1u);
    EXPECT_EQ(asker->messages[0], DiskUsageAppController::kBadScanFileAlert);
    EXPECT_FALSE(asker->messageDetails[0].empty());
    EXPECT_EQ(asker->messageDetails[0].find('\n'), std::string::npos);
    EXPECT_EQ(controller->scanFileRowNum(), -1);
    EXPECT_EQ(controller->leftCellArr.get().size(), 3u);
    EXPECT_EQ(controller->diskView().chart(), nullptr);
}

// On either page the place's figure loses what a removal took, by its outcomes: what failed
// stays counted. The progress keeps the scan's last figures while the results fade in.
TEST_F(DiskUsageAppControllerTest, RemovalsOnEitherPageShrinkThePlaceRowByWhatWent) {
    makeFile(home / "b/g", 1000);
    const std::string a = (home / "a").string(), b = (home / "b").string();
    const std::vector<RemovalOutcome> outcomes{RemovalOutcome::vanished(b),
                                               RemovalOutcome::failed(a, EACCES)};
    for (bool ring : {true, false}) {
        controller->setShowStyle(ring);
        controller->clickRow(0);
        finish();
        EXPECT_EQ(controller->progress().files, 2u);
        EXPECT_EQ(controller->progress().levelsDone, controller->progress().levelsTotal);
        EXPECT_EQ(controller->leftCellArr.get()[0].usedSize, "4.00 KB");
        if (ring) {
            auto& page = controller->diskView();
            // The scan's own walk made the Discover lists; what went leaves all three.
            auto listed = [&](DiscoverModel::List list) {
                std::vector<std::string> paths;
                for (const auto& file : page.discover().rows(list)) paths.push_back(file.path);
                return paths;
            };
            EXPECT_EQ(listed(DiscoverModel::List::Largest),
                      (std::vector<std::string>{a + "/f", b + "/g"}));
            for (const auto& item : page.rows()) page.changeSelectArr(item, true);
            page.removalFinished(outcomes);
            for (auto list : {DiscoverModel::List::Largest, DiscoverModel::List::Newest,
                              DiscoverModel::List::Oldest})
                EXPECT_EQ(listed(list), std::vector<std::string>{a + "/f"});
        } else {
            FSNode* root = controller->browserRoot();
            std::vector<FSNode*> nodes{nullptr, nullptr};
            for (const auto& child : root->children)
                nodes[child->displayName() == "b" ? 0 : 1] = child.get();
            FileSystemBrowserModel::applyRemovals(nodes, outcomes);
            controller->browserRemovalApplied(root);
        }
        EXPECT_EQ(controller->leftCellArr.get()[0].usedSize, "3.00 KB") << ring;
    }
}

// Folders a scan could not read are counted for its place, noted over its results and marked
// in the ring's list; a place read in full has no note.
TEST_F(DiskUsageAppControllerTest, FoldersNotReadAreCountedNotedAndMarked) {
    fs::path file = platform.root().path() / "locked.json";
    std::ofstream(file) << "[1,2,{\"progname\":\"ncdu\"},[{\"name\":\"/srv/data\"},"
                           "[{\"name\":\"locked\",\"read_error\":true}],"
                           "[{\"name\":\"open\"},{\"name\":\"f\",\"asize\":1000}]]]";
    ASSERT_TRUE(controller->openScanFile(file.string()));
    finish();
    ASSERT_EQ(controller->scanFileRowNum(), 3);
    EXPECT_EQ(controller->leftCellArr.get()[3].unreadableFolders, 1u);
    EXPECT_EQ(controller->unreadableNote(),
              "1 folder could not be read: the sizes that contain it may be too small.");
    std::vector<std::pair<std::string, bool>> marks;
    for (const auto& item : controller->diskView().rows())
        marks.emplace_back(item.name, item.unreadable);
    EXPECT_EQ(marks,
              (std::vector<std::pair<std::string, bool>>{{"open", false}, {"locked", true}}));

    controller->clickRow(0);
    finish();
    EXPECT_EQ(controller->unreadableNote(), "");
}

// The page's scans, in both displays, count sizes and leave folders out as the settings say.
TEST_F(DiskUsageAppControllerTest, ScansFollowTheMeasureAndTheExcludedFoldersOfTheSettings) {
    makeFile(home / "skip/big", 0);
    std::ofstream(home / "skip/big") << std::string(100000, 'x');
    std::ofstream(home / "a/dense") << std::string(5000, 'x');
    auto& defaults = UserDefaults::standardUserDefaults();
    defaults.setBool(true, SettingsKey::DiskUsageAllocatedSize);
    // A folder that is gone excludes nothing.
    defaults.setObject((home / "gone").string() + "\n" + (home / "a/../skip").string(),
                       SettingsKey::DiskUsageExcludes);
    std::uint64_t allocated = 0;
    for (const char* entry : {"", "a", "a/f", "a/dense"}) {
        struct stat status {};
        ASSERT_EQ(::lstat((home / entry).c_str(), &status), 0);
        allocated += static_cast<std::uint64_t>(status.st_blocks) * 512;
    }
    for (bool ring : {true, false}) {
        defaults.setBool(ring, SettingsKey::QWDiskUsageShowStyle);
        controller = std::make_unique<DiskUsageAppController>(environment());
        controller->clickRow(0);
        finish();
        EXPECT_EQ(controller->leftCellArr.get()[0].usedSize,
                  UtilityFunction::convertVolSpace(allocated))
            << ring;
        bool marked = false;
        if (ring) {
            for (const auto& row : controller->diskView().rows())
                marked = marked || (row.name == "skip" && row.excluded);
        } else {
            for (const auto& item : controller->browserRoot()->children)
                marked = marked || (item->displayName() == "skip" && item->excluded);
        }
        EXPECT_TRUE(marked) << ring;
    }
}

// Every finished scan of a place is kept on its worker, each kind of tree apart; the ring's
// next scan of the place compares with the last. A place where nothing can be kept changes
// nothing else.
TEST_F(DiskUsageAppControllerTest, FinishedScansAreKeptAndTheNextRingScanCompares) {
    fs::path scans = platform.root().path() / "scans";
    auto kept = [&] {
        return std::distance(fs::directory_iterator(scans), fs::directory_iterator());
    };
    auto scanHome = [&](fs::path folder) {
        auto withKept = environment();
        withKept.keptScans = std::move(folder);
        controller = std::make_unique<DiskUsageAppController>(withKept);
        controller->clickRow(0);
        finish();
        EXPECT_EQ(controller->pageMode.get(), DiskUsageAppController::kResults);
        EXPECT_EQ(controller->leftCellArr.get()[0].usedSize.empty(), false);
    };
    scanHome(scans);
    EXPECT_EQ(kept(), 1);
    EXPECT_FALSE(controller->diskView().compared());

    makeFile(home / "a/g", 1000);
    makeFile(home / "n/x", 5);
    controller->diskView().back();
    ASSERT_TRUE(controller->getLocalPath());
    finish();
    EXPECT_EQ(kept(), 2);
    ASSERT_TRUE(controller->diskView().compared());
    std::map<std::string, std::string> changes;
    for (const auto& row : controller->diskView().rows()) changes[row.name] = changeText(row);
    EXPECT_EQ(changes, (std::map<std::string, std::string>{{"a", "+1.00 KB"}, {"n", "new"}}));

    UserDefaults::standardUserDefaults().setBool(false, SettingsKey::QWDiskUsageShowStyle);
    scanHome(scans);
    EXPECT_EQ(kept(), 3);
    EXPECT_EQ(controller->browserChanges(), nullptr);  // the place's first scan as items
    makeFile(home / "a/g", 3000);
    scanHome(scans);
    ASSERT_TRUE(controller->browserChanges());
    std::map<std::string, std::string> itemChanges;
    for (const auto& item : controller->browserRoot()->children)
        itemChanges[item->displayName()] = controller->browserChanges()->textOf(item.get());
    EXPECT_EQ(itemChanges["a"], "+2.00 KB");
    EXPECT_EQ(itemChanges["n"], "0.00 KB");

    platform.root().write("blocked", "a file where a folder would be");
    UserDefaults::standardUserDefaults().setBool(true, SettingsKey::QWDiskUsageShowStyle);
    scanHome(platform.root().path() / "blocked/scans");
    EXPECT_EQ(controller->diskView().rows().size(), 2u);
}
