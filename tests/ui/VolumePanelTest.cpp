// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>
#include <QTest>
#include <QToolButton>

#include "core/events/EventBus.h"
#include "core/events/Events.h"
#include "monitor/ui/CustomGreyBarView.h"
#include "monitor/ui/DiskSizeView.h"
#include "monitor/ui/MenuItemView.h"
#include "support/UiPictures.h"
#include "ui/FixtureMainWindow.h"
#include "ui/ImageProvider.h"
#include "ui/VolumeTile.h"

using namespace quillby;

namespace {

constexpr auto volume = &FixtureMainWindow::volume;  // sizes in GB

std::vector<VolumeRow> fixtureVolumes() {
    return {volume(0, "/", 512, 41, false, true), volume(0, "Data", 2000, 1500, false, false),
            volume(1, "USB STICK", 64, 3, true, false),
            volume(3, "nas share", 4000, 100, true, false)};
}

class VolumePanelTest : public ::testing::Test {
  protected:
    void SetUp() override { ImageProvider::shared().setUseThemeIcons(false); }
};

}  // namespace

// Each row is reached twice, by the mouse and by the keyboard (Enter opens, Delete presses the
// eject or purge button); on a row without a button a click there opens it and Delete does
// nothing.
TEST_F(VolumePanelTest, RowClickOrKeyOpensEjectEjectsAndPurgeAsks) {
    std::vector<std::string> events;
    auto record = [&](const Event& e) { events.push_back(e.name); };
    auto& bus = EventBus::defaultCenter();
    auto a = bus.observe(Events::openFinderWhenClickItems, record);
    auto b = bus.observe(Events::refMenuItemWhenDeleteAndAdd, record);
    auto c = bus.observe(Events::cleanMemoryClickAction, record);
    std::vector<std::int32_t> ejected;
    auto eject = [&](std::int32_t reference) {
        ejected.push_back(reference);
        return true;
    };
    const QPoint button = MenuItemView::buttonRect().center();

    VolumeRow stick = volume(1, "USB", 100, 50, true, false);
    stick.volRefNumber = 41;
    MenuItemView usb(stick, eject);
    MenuItemView usbByKey(stick, eject);
    QTest::mouseClick(&usb, Qt::LeftButton, {}, QPoint(100, 25));
    QTest::mouseClick(&usb, Qt::LeftButton, {}, button);
    EXPECT_EQ(usbByKey.focusPolicy(), Qt::StrongFocus);
    QTest::keyClick(&usbByKey, Qt::Key_Return);
    QTest::keyClick(&usbByKey, Qt::Key_Delete);
    EXPECT_EQ(ejected, (std::vector<std::int32_t>{41, 41}));

    MenuItemView fixed(volume(0, "Data", 100, 50, false, false), eject);
    QTest::mouseClick(&fixed, Qt::LeftButton, {}, button);  // no button: a row click
    QTest::keyClick(&fixed, Qt::Key_Delete);                // no button: nothing
    EXPECT_EQ(ejected.size(), 2u);

    MenuItemView memory(volume(5, "Memory", 100, 50, false, false), eject);
    MenuItemView memoryByKey(volume(5, "Memory", 100, 50, false, false), eject);
    QTest::mouseClick(&memory, Qt::LeftButton, {}, button);
    QTest::keyClick(&memoryByKey, Qt::Key_Delete);
    EXPECT_EQ(memory.row().volumeSize, "Freeing...");
    EXPECT_EQ(memoryByKey.row().volumeSize, "Freeing...");
    const char* open = "openFinderWhenClickItems";
    const char* ejecting = "refMenuItemWhenDeleteAndAdd";
    EXPECT_EQ(events,
              (std::vector<std::string>{open, ejecting, open, ejecting, open,
                                        "cleanMemoryClickAction", "cleanMemoryClickAction"}));
}

TEST_F(VolumePanelTest, AlarmRowDrawsRedTextAndAlarmBar) {
    MenuItemView alarm(volume(0, "Full", 100, 5, false, false), {});
    MenuItemView calm(volume(2, "Disc", 100, 5, false, false), {});
    QImage alarmPicture = alarm.grab().toImage(), calmPicture = calm.grab().toImage();
    QRect bar(48, 18, 190, 23);
    EXPECT_GT(shareOfColour(alarmPicture, bar, QColor(220, 45, 35)), 0.3);
    EXPECT_LT(shareOfColour(calmPicture, bar, QColor(220, 45, 35)), 0.05);
    saveUiPicture(alarmPicture, "volume-row-alarm");
}

TEST_F(VolumePanelTest, HeadersTitleTheirKind) {
    EXPECT_EQ(CustomGreyBarView(0).title(), "Local Storage");
    EXPECT_EQ(CustomGreyBarView(5).title(), "Free Memory");
    EXPECT_TRUE(CustomGreyBarView(9).title().isEmpty());
    CustomGreyBarView header(1);
    saveUiPicture(header, "volume-header");
}

TEST_F(VolumePanelTest, TilesOfferEjectOnlyWhenEjectableAndFollowTheTick) {
    std::vector<VolumeRow> current = fixtureVolumes();
    std::vector<std::string> browsed;
    DiskSizeView panel([&] { return current; }, [](std::int32_t) { return true; },
                       [&](const std::string& path) {
                           browsed.push_back(path);
                           return true;
                       });
    ASSERT_EQ(panel.allItemArr().size(), 4u);
    EXPECT_TRUE(panel.allItemArr()[0]->ejectButton()->isHidden());
    EXPECT_FALSE(panel.allItemArr()[2]->ejectButton()->isHidden());
    EXPECT_EQ(panel.allItemArr()[3]->row().ViewTag, 3);
    panel.allItemArr()[2]->browseButton()->click();
    EXPECT_EQ(browsed, std::vector<std::string>{"/media/USB STICK"});

    current[2].u64FreeSpace = "1.00 GB";
    current[2].nFreeSize = 1000000000;
    panel.updateViewAndData();
    EXPECT_EQ(panel.allItemArr()[2]->row().u64FreeSpace, "1.00 GB");
    current.pop_back();
    panel.updateViewAndData();  // fewer records than tiles: no harm
    panel.initDiskSizeView();
    EXPECT_EQ(panel.allItemArr().size(), 3u);
}

TEST_F(VolumePanelTest, PanelRowsAndTilesRenderForPeopleToSee) {
    DiskSizeView panel([] { return fixtureVolumes(); }, {}, {});
    EXPECT_FALSE(saveUiPicture(panel, "volume-tiles").isEmpty());
    MenuItemView row(fixtureVolumes()[2], {});
    EXPECT_FALSE(saveUiPicture(row, "volume-row").isEmpty());
}
