#include <gtest/gtest.h>

#include "core/PlainMainQueue.h"
#include "core/SettingsKeys.h"
#include "core/UserDefaults.h"
#include "diskusage/DiskUsageAppController.h"
#include "diskusage/DiskUsageFixtures.h"
#include "support/ScriptedAsker.h"
#include "support/TestPlatform.h"

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
    void TearDown() override {
        pages.reset();
        controller.reset();
    }
    DiskUsageAppController::Environment environment() {
        DiskUsageAppController::Environment environment;
        environment.userName = "alice";
        environment.homeFolder = home.string();
        VolumeFacts local;
        local.name = "Data";
        local.rootPath = volume.string();
        local.totalBytes = 2'000'000'000;
        local.freeBytes = 500'000'000;
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

TEST_F(DiskUsageAppControllerTest, ThePathListHoldsTheUserTheLocalVolumesAndTheChosenFolderRow) {
    auto rows = controller->leftCellArr.get();
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].name, "alice");
    EXPECT_EQ(rows[0].icon, "home_disk.png");
    EXPECT_EQ(rows[0].pathName, home.string());
    EXPECT_EQ(rows[1].name, "Data");
    EXPECT_EQ(rows[1].freeSize, "500.00 MB");
    EXPECT_TRUE(rows[2].hidden);
    EXPECT_EQ(controller->customRowNum(), 2);
}

TEST_F(DiskUsageAppControllerTest, ARowClickDuringAScanDoesNothing) {
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
}

TEST_F(DiskUsageAppControllerTest, ASecondClickOnAScannedRowShowsItsResultsWithoutAScan) {
    controller->clickRow(1);
    finish();
    controller->diskView().back();
    controller->clickRow(1);
    EXPECT_TRUE(controller->bSearchFinished());
    EXPECT_EQ(shown, (std::vector<int>{1, 2, 2}));
    EXPECT_EQ(controller->diskView().currentPath(), volume.string() + "/");
    // Another row is scanned.
    controller->clickRow(0);
    finish();
    EXPECT_EQ(shown, (std::vector<int>{1, 2, 2, 1, 2}));
}

TEST_F(DiskUsageAppControllerTest, AStopReturnsToThePathList) {
    controller->clickRow(0);
    controller->stopScan();
    EXPECT_TRUE(controller->bStopTask());
    finish();
    EXPECT_EQ(shown, (std::vector<int>{1, 0}));
    EXPECT_EQ(controller->diskView().chart(), nullptr);
    EXPECT_TRUE(controller->bSearchFinished());
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
    auto withBrowser = environment();
    DiskUsageAppController browser(withBrowser);
    EXPECT_FALSE(browser.showStyle());
    TestPlatform another;
    auto ringOnly = environment();
    ringOnly.columnBrowserAvailable = false;
    DiskUsageAppController ring(ringOnly);
    EXPECT_TRUE(ring.showStyle());
}

TEST_F(DiskUsageAppControllerTest, AChosenFolderGetsItsRowAndARowShowsItsPathCut) {
    controller->folderChosen(volume.string() + "/");
    finish();
    auto rows = controller->leftCellArr.get();
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
