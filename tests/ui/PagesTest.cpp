// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <thread>

#include "clean/CleanHistory.h"
#include "core/events/EventBus.h"
#include "core/events/Events.h"
#include "core/events/ParseFileLog.h"
#include "core/settings/PreferenceViewController.h"
#include "core/text/UtilityFunction.h"
#include "memory/CleanMemoryModel.h"
#include "memory/ClearMemory.h"
#include "memory/ui/CleanMemoryController.h"
#include "memory/ui/PieChartView.h"
#include "monitor/ui/DiskSizeView.h"
#include "platform/MemorySource.h"
#include "platform/linux/LinuxProcessLauncher.h"
#include "shell/FastCleanPage.h"
#include "support/AccessibleTree.h"
#include "support/TestPlatform.h"
#include "support/UiPictures.h"
#include "sysinfo/ui/CustomComInfoView.h"
#include "sysinfo/ui/MyComputerPage.h"
#include "ui/FixtureMainWindow.h"
#include "ui/ImageProvider.h"
#include "ui/VolumeTile.h"
#include "ui/WorkRunner.h"

using namespace quillby;

namespace {

struct FixedMemory : MemorySource {
    std::uint64_t free = 6ull << 30;
    int sample(MemoryCounts& counts) override {
        counts.total = 16ull << 30;
        counts.free = free;
        counts.active = 5ull << 30;
        counts.inactive = 3ull << 30;
        counts.wired = 2ull << 30;
        return 0;
    }
};

std::vector<VolumeRow> bootOnly() {
    return {FixtureMainWindow::volume(0, "/", 512, 120, false, true)};
}

const auto facts = &FixtureMainWindow::facts;

class PagesTest : public ::testing::Test {
  protected:
    void SetUp() override { ImageProvider::shared().setUseThemeIcons(false); }
    TestPlatform platform;
};

}  // namespace

TEST_F(PagesTest, MemoryPageShowsSixFiguresFourSlicesAndTheAmountFreed) {
    TempDir tools;
    auto script = tools.write("purge", "#!/bin/sh\nexit 0\n");
    ::chmod(script.c_str(), 0755);
    auto memory = std::make_shared<FixedMemory>();
    CleanMemoryController page(std::make_unique<CleanMemoryModel>(std::make_unique<ClearMemory>(
        memory, std::make_shared<LinuxProcessLauncher>(), PurgeTools{.systemTool = script})));
    EXPECT_EQ(page.figure(0)->text(), "6.00 GB");
    EXPECT_EQ(page.figure(5)->text(), "16.00 GB");
    ASSERT_EQ(page.pieChart()->items().size(), 4u);
    EXPECT_EQ(page.pieChart()->items()[3].value, static_cast<double>(2ull << 30));
    EXPECT_TRUE(page.resultLine()->isHidden());

    // The amount freed is measured from the figures last shown; a fast purge may end within
    // the click, so the memory it frees is in place before it starts.
    memory->free = 7ull << 30;
    page.cleanButton()->click();
    for (int i = 0; i < 3000 && page.resultLine()->isHidden(); ++i) {
        QTest::qWait(10);
        page.updateTitleForLabelValue();
    }
    EXPECT_FALSE(page.resultLine()->isHidden());
    EXPECT_EQ(page.resultLine()->text(), "1.00 GB freed.");
    EXPECT_TRUE(page.cleanButton()->isEnabled());
    saveUiPicture(page, "page-memory");
}

// The facts are read on a worker: the table shows a placeholder until they arrive, and those of
// a page closed meanwhile are dropped. A page made before the volumes were listed gets its tile
// with the first figures.
TEST_F(PagesTest, MyComputerPageShowsTheBootTileAndPostsItsTexts) {
    std::vector<std::any> posted;
    auto subscription = EventBus::defaultCenter().observe(
        Events::FreeTotleArr,
        [&](const Event& e) { posted = std::any_cast<std::vector<std::any>>(e.object); });
    MyComputerPage page([] { return bootOnly(); }, facts, {});
    ASSERT_NE(page.tile(), nullptr);
    EXPECT_EQ(page.tile()->row().volumeSize, "/");
    ASSERT_EQ(posted.size(), 2u);
    EXPECT_EQ(std::any_cast<std::string>(posted[0]), "512.00 GB");
    EXPECT_EQ(std::any_cast<std::string>(posted[1]), "120.00 GB");
    EXPECT_EQ(page.table()->rows()[3].value, MyComputerPage::kPlaceholder);
    page.work().waitUntilIdle();
    EXPECT_EQ(page.table()->rows()[3].value, "16.00 GB");
    saveUiPicture(page, "page-my-computer");

    // Assistive technology reads the facts as a list and the tile as a named group with its
    // figures and a bar of the space used.
    auto items = accessibleDescendants(&page, QAccessible::ListItem);
    ASSERT_EQ(items.size(), 7u);
    EXPECT_EQ(items[3]->text(QAccessible::Name), "Memory: 16.00 GB");
    QAccessibleInterface* tile = accessibleDescendant(&page, QAccessible::Grouping, "/");
    ASSERT_TRUE(tile);
    EXPECT_EQ(tile->text(QAccessible::Description), "120.00 GB free of 512.00 GB");
    auto bars = accessibleDescendants(page.tile(), QAccessible::ProgressBar);
    ASSERT_EQ(bars.size(), 1u);
    ASSERT_TRUE(bars[0]->valueInterface());
    EXPECT_NEAR(bars[0]->valueInterface()->currentValue().toDouble(), 100.0 * 392 / 512, 0.1);
    EXPECT_TRUE(accessibleDescendant(&page, QAccessible::Button, "Show in the file manager"));

    std::vector<VolumeRow> listed;
    auto early = std::make_unique<MyComputerPage>([&] { return listed; }, facts, nullptr);
    EXPECT_EQ(early->tile(), nullptr);  // no boot volume: no tile, no crash
    listed = bootOnly();
    early->updateViewAndData();
    EXPECT_NE(early->tile(), nullptr);
    early.reset();      // its facts, maybe still on their way, are dropped
    QTest::qWait(100);  // a late delivery would touch the freed page (the sanitizers see it)
}

TEST_F(PagesTest, OverviewListsItsFeaturesFollowsRowRequestsAndTellsTheLastClean) {
    FastCleanPage overview;
    auto* disks = new DiskSizeView([] { return bootOnly(); }, {}, {});
    overview.addFeature(9, "Free Space Monitor", disks);
    overview.addFeature(0, "My Computer", new MyComputerPage([] { return bootOnly(); }, facts, {}));
    EXPECT_EQ(overview.featureList()->item(0)->text(), "My Computer");  // rows stay in order
    EXPECT_EQ(overview.selectedRow(), 9);  // the first feature added was selected

    UtilityFunction::callSelectNotificationForMainWindowLeft(0);
    EXPECT_EQ(overview.selectedRow(), 0);
    EXPECT_EQ(PreferenceViewController::getLastClickRow(), 0);
    EXPECT_EQ(overview.noteTitle()->text(), "My Computer");
    // A fresh home claims no clean; a clean that ends while the note shows updates it at once.
    EXPECT_TRUE(overview.noteText()->text().startsWith("No clean has been recorded yet."))
        << overview.noteText()->text().toStdString();
    std::thread([] { recordFinishedClean(14'000'000); }).join();
    EXPECT_TRUE(QTest::qWaitFor([&] { return overview.noteText()->text().contains("14.00 MB"); }))
        << overview.noteText()->text().toStdString();

    ParseFileLog().setSize(1048576, *parseDateDescription("2013-05-07 10:20:30 +0000"));
    overview.selectRow(9);
    overview.selectRow(0);
    QString note = overview.noteText()->text();
    EXPECT_TRUE(note.contains("1.05 MB")) << note.toStdString();
    EXPECT_TRUE(note.contains("05/07/2013 10:20:30")) << note.toStdString();
    EXPECT_TRUE(note.contains("512.00 GB, and 120.00 GB is available")) << note.toStdString();

    EventBus::defaultCenter().post(Events::shouldSelectRow,
                                   std::vector<std::any>{std::string("s"), std::int32_t{9}});
    EXPECT_EQ(overview.selectedRow(), 9);
    EXPECT_EQ(overview.noteTitle()->text(), "Free Space Monitor");
    EXPECT_FALSE(overview.selectRow(4));  // the clean categories are not part of this build
    EXPECT_EQ(overview.selectedRow(), 9);
    saveUiPicture(overview, "page-overview-volumes");
}
