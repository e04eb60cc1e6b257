// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>
#include <cmath>
#include <numbers>

#include "core/events/EventBus.h"
#include "core/events/Events.h"
#include "diskusage/DiskUsageFixtures.h"
#include "diskusage/PieTree.h"
#include "support/TempDir.h"

using namespace quillby;

namespace {

// Everything the chart publishes, in order.
struct Published {
    Published() {
        for (const char* name : {Events::ShowBubble, Events::HideBubble, Events::RefreshLeftView}) {
            subscriptions.push_back(EventBus::defaultCenter().observe(
                name, [this](const Event& event) { events.push_back(event); }));
        }
    }
    std::vector<std::string> names() const {
        std::vector<std::string> list;
        for (const auto& event : events) list.push_back(event.name);
        return list;
    }
    const DiskUsageItem& listedFolder() const {
        return *userInfoValue<DiskUsageItem>(events.back(), EventKeys::RootPath);
    }
    std::vector<std::string> listedItems() const {
        std::vector<std::string> list;
        for (const auto& item :
             *userInfoValue<std::vector<DiskUsageItem>>(events.back(), EventKeys::DecendingItem)) {
            list.push_back(item.name + " " + item.size + (item.isDirectory ? " dir" : ""));
        }
        return list;
    }
    std::vector<Event> events;
    std::vector<Subscription> subscriptions;
};

// A fixture folder: top holds readme (500), a/ (a1/f 3000, f 1000), b/ (f 2000), c/ (empty).
class PieTreeTest : public ::testing::Test {
  protected:
    void SetUp() override {
        top = dir / "top";
        makeFile(top / "readme", 500);
        makeFile(top / "a/a1/f", 3000);
        makeFile(top / "a/f", 1000);
        makeFile(top / "b/f", 2000);
        fs::create_directory(top / "c");
        chart.setViewSize(600, 400);
        chart.setRedrawRequest([this] { ++redraws; });
        chart.contructPieTree(top.string());
        published.events.clear();
    }
    std::string folder(const std::string& relative) const {
        return (top / relative).string() + (relative.empty() ? "" : "/");
    }
    // The pointer at radius r and angle t (degrees, clockwise from up) of the 600 × 400 view.
    static PieTree::PointerEvent at(double r, double t) {
        double perUnit = 600.0 / 9.0;
        double radians = t * std::numbers::pi / 180.0;
        return {300.0 + r * std::sin(radians) * perUnit, 200.0 - r * std::cos(radians) * perUnit,
                11.5f, 22.5f};
    }

    TempDir dir;
    fs::path top;
    Published published;
    PieTree chart;
    int redraws = 0;
};

}  // namespace

// A build lists the root, largest first; seeking lists a child, an ancestor's child or the root.
TEST_F(PieTreeTest, BuildAndSeekingPublishTheCurrentFoldersListing) {
    Published build;
    chart.contructPieTree(top.string() + "/");
    ASSERT_EQ(build.names(), std::vector<std::string>{Events::RefreshLeftView});
    EXPECT_EQ(std::any_cast<PieTree*>(build.events.back().object), &chart);
    EXPECT_EQ(build.listedFolder().name, "top");
    EXPECT_EQ(build.listedFolder().path, folder(""));
    EXPECT_EQ(build.listedFolder().size, "6.50 KB");
    EXPECT_EQ(build.listedItems(), (std::vector<std::string>{"a 4.00 KB dir", "b 2.00 KB dir",
                                                             "readme 0.50 KB", "c 0.00 KB dir"}));
    EXPECT_EQ(chart.icCurrentPtr, chart.icAllDir.get());
    EXPECT_EQ(chart.getCurrentDirectory(), folder(""));

    EXPECT_EQ(chart.SeekDirectory(folder("a")), 1);
    EXPECT_EQ(chart.getCurrentDirectory(), folder("a"));
    EXPECT_EQ(published.listedItems(), (std::vector<std::string>{"a1 3.00 KB dir", "f 1.00 KB"}));
    EXPECT_EQ(chart.icFoundPtr, nullptr);

    chart.SeekDirectory(folder("b"));  // a child of the current folder's parent
    EXPECT_EQ(chart.getCurrentDirectory(), folder("b"));
    chart.SeekDirectory(folder("a/a1"));  // two levels away: back to the root
    EXPECT_EQ(chart.getCurrentDirectory(), folder(""));
    EXPECT_EQ(published.listedFolder().path, folder(""));
    chart.SeekDirectory("/nowhere/");
    EXPECT_EQ(chart.getCurrentDirectory(), folder(""));
    EXPECT_EQ(PieTree().SeekDirectory("/x/"), 0);
}

TEST_F(PieTreeTest, PointerShowsAndHidesTheBubble) {
    chart.drawScene();
    // b spans 240 to 360 degrees of the first ring.
    chart.mouseMoved(at(0.9, 300));
    ASSERT_EQ(published.names(), std::vector<std::string>{Events::ShowBubble});
    const Event& bubble = published.events.back();
    EXPECT_EQ(*userInfoValue<std::string>(bubble, EventKeys::CurrentDir), "b");
    EXPECT_EQ(*userInfoValue<std::string>(bubble, EventKeys::DirSize), "2.00 KB");
    EXPECT_EQ(*userInfoValue<float>(bubble, EventKeys::MouseXPos), 11.5f);
    EXPECT_EQ(*userInfoValue<float>(bubble, EventKeys::MouseYPos), 22.5f);
    EXPECT_TRUE(chart.bShowBubble);
    EXPECT_EQ(chart.icFoundPtr->name(), "b");

    // Hovering the centre highlights every drawn sector again.
    chart.mouseMoved(at(0.2, 10));
    EXPECT_EQ(*userInfoValue<std::string>(published.events.back(), EventKeys::CurrentDir), "top");
    const auto& frame = chart.drawScene();
    size_t plain = 0, highlighted = 0;
    for (const auto& sector : frame) (sector.highlight ? highlighted : plain)++;
    EXPECT_EQ(plain, highlighted);

    chart.mouseMoved(at(2.9, 10));
    chart.mouseMoved(at(2.95, 20));
    EXPECT_EQ(published.names(), (std::vector<std::string>{Events::ShowBubble, Events::ShowBubble,
                                                           Events::HideBubble}));
    EXPECT_EQ(chart.icFoundPtr, nullptr);
    EXPECT_EQ(redraws, 4);
}

TEST_F(PieTreeTest, ClicksDescendIntoSectorsAndGoUpFromTheCentre) {
    chart.drawScene();
    chart.mouseDown(at(0.2, 0), 1);  // the centre while the root is current
    EXPECT_EQ(published.names(), std::vector<std::string>{Events::ShowBubble});
    EXPECT_EQ(chart.icCurrentPtr, chart.icAllDir.get());
    EXPECT_EQ(chart.icFoundPtr, nullptr);

    chart.mouseDown(at(0.9, 90), 1);  // a spans 0 to 240 degrees
    EXPECT_EQ(chart.getCurrentDirectory(), folder("a"));
    EXPECT_EQ(published.events.back().name, Events::RefreshLeftView);
    EXPECT_EQ(published.listedFolder().path, folder("a"));
    EXPECT_EQ(chart.icFoundPtr, nullptr);

    chart.mouseDown(at(0.2, 0), 1);  // the centre now goes up one level
    EXPECT_EQ(chart.getCurrentDirectory(), folder(""));
    EXPECT_EQ(published.listedFolder().path, folder(""));

    size_t before = published.events.size();
    chart.mouseDown(at(0.9, 90), 0);  // a press without a click count only hovers
    EXPECT_EQ(chart.getCurrentDirectory(), folder(""));
    EXPECT_EQ(published.events.size(), before + 1);
}

TEST_F(PieTreeTest, RemovalShrinksSizesAndMovesTheCurrentFolderOut) {
    chart.removeFile(DiskUsageItem::make("f", (top / "a/a1/f").string(), 3000, false), false);
    RingFolderNode* a1 = chart.searchFile(folder("a/a1"));
    ASSERT_NE(a1, nullptr);
    EXPECT_EQ(a1->size, 0);
    EXPECT_EQ(chart.searchFile(folder("a"))->size, 1000);
    EXPECT_EQ(chart.icAllDir->size, 3500);

    // Nothing goes below 0.
    chart.removeFile(DiskUsageItem::make("f", (top / "b/f").string(), 999999, false), false);
    EXPECT_EQ(chart.searchFile(folder("b"))->size, 0);
    EXPECT_EQ(chart.icAllDir->size, 0);

    chart.SeekDirectory(folder("a"));
    chart.SeekDirectory(folder("a/a1"));
    ASSERT_EQ(chart.getCurrentDirectory(), folder("a/a1"));
    RingFolderNode* a = chart.searchFile(folder("a"));
    auto count = a->count();
    chart.removeFile(DiskUsageItem::make("a1", (top / "a/a1").string(), 0, true), true);
    EXPECT_EQ(chart.icCurrentPtr, a);
    EXPECT_EQ(a->count(), count);  // the entry stays, empty
    EXPECT_EQ(chart.searchFile(folder("a/a1")), nullptr);
    EXPECT_EQ(chart.icFoundPtr, nullptr);
    chart.drawScene();  // empty entries are skipped everywhere
    chart.clearHiddenFlags();
}

TEST_F(PieTreeTest, ClearingHiddenFlagsReachesTheLaidOutLevelsBelowTheCurrentFolder) {
    RingFolderNode* a = chart.searchFile(folder("a"));
    RingFolderNode* a1 = chart.searchFile(folder("a/a1"));
    chart.drawScene();
    a->hidden = true;
    a1->hidden = true;
    chart.icAllDir->hidden = true;
    chart.clearHiddenFlags();
    EXPECT_FALSE(a->hidden);
    EXPECT_FALSE(a1->hidden);
    EXPECT_TRUE(chart.icAllDir->hidden);  // the current folder's own flag is left alone
}
