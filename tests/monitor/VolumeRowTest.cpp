// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "core/events/EventBus.h"
#include "core/events/Events.h"
#include "monitor/VolumeRow.h"

using namespace quillby;

namespace {
VolumeRow row(std::uint32_t kind, std::uint64_t total, std::uint64_t free,
              std::string threshold = "10") {
    VolumeRow r;
    r.myStorage = kind;
    r.nTotalSize = total;
    r.nFreeSize = free;
    r.errorValue = std::move(threshold);
    r.volRootDir = "/media/usb";
    return r;
}
}  // namespace

TEST(VolumeRow, LevelRoundsUsedUpAndAlarmsFollowTheThresholdOnlyForLocalExternalAndMemory) {
    EXPECT_EQ(row(0, 1000, 8).getPrograssImage(), "100-1.png");  // 99.2 % used shows 100
    EXPECT_EQ(row(0, 1000, 0).getPrograssImage(), "100-1.png");
    EXPECT_EQ(row(0, 1000, 580).getPrograssImage(), "42.png");
    EXPECT_EQ(row(0, 100, 9).getPrograssImage(), "91-1.png");   // 9 % free, threshold 10
    EXPECT_EQ(row(0, 100, 10).getPrograssImage(), "90-1.png");  // at the threshold: alarm
    EXPECT_EQ(row(0, 100, 11).getPrograssImage(), "89.png");
    EXPECT_EQ(row(1, 100, 9).getPrograssImage(), "91-1.png");
    EXPECT_EQ(row(5, 100, 9).getPrograssImage(), "91-1.png");
    EXPECT_EQ(row(2, 100, 0).getPrograssImage(), "100.png");  // a full disc never alarms
    EXPECT_EQ(row(3, 100, 1).getPrograssImage(), "99.png");
    EXPECT_EQ(row(4, 100, 1).getPrograssImage(), "99.png");
    EXPECT_EQ(row(0, 100, 9).getPrograssImage(true), "91_r_index.png");
    EXPECT_EQ(row(2, 100, 9).getPrograssImage(true), "91_index.png");
    EXPECT_FALSE(row(0, 0, 0).getPrograssImage());      // no total: no image
    EXPECT_FALSE(row(0, 100, 200).getPrograssImage());  // more free than total
    // Rows share the percent arithmetic of the status image: a hundredfold of this passes 64 bits.
    EXPECT_EQ(row(0, 100ull << 56, 5ull << 56).getPrograssImage(), "95-1.png");
    EXPECT_TRUE(row(0, 100ull << 56, 5ull << 56).getWarningValue());

    // The warning and the alarm colour follow the threshold text.
    EXPECT_TRUE(row(0, 100, 10, "10.000000").getWarningValue());
    EXPECT_FALSE(row(0, 100, 11, "10.000000").getWarningValue());
    EXPECT_FALSE(row(0, 0, 0).getWarningValue());
    EXPECT_TRUE(row(0, 100, 9).showsAlarmColour());
    EXPECT_TRUE(row(5, 100, 9).showsAlarmColour());
    EXPECT_TRUE(row(2, 100, 9).getWarningValue());
    EXPECT_FALSE(row(2, 100, 9).showsAlarmColour());  // optical rows keep normal colours
    EXPECT_EQ(row(0, 1, 1, "abc").thresholdPercent(), 0);
}

TEST(VolumeRow, ControlsPostTheirRequests) {
    std::vector<std::string> events;
    std::string opened;
    auto& bus = EventBus::defaultCenter();
    auto a = bus.observe(Events::openFinderWhenClickItems, [&](const Event& e) {
        events.push_back(e.name);
        opened = std::any_cast<std::string>(e.object);
    });
    auto b = bus.observe(Events::refMenuItemWhenDeleteAndAdd,
                         [&](const Event& e) { events.push_back(e.name); });
    auto c = bus.observe(Events::cleanMemoryClickAction,
                         [&](const Event& e) { events.push_back(e.name); });

    VolumeRow volume = row(1, 100, 50);
    volume.ViewTag = 5;  // the sixth volume still opens
    volume.clicked = true;
    volume.mouseDown();
    EXPECT_EQ(opened, "/media/usb");
    EXPECT_FALSE(volume.clicked);

    std::vector<std::int32_t> ejected;
    volume.volRefNumber = 77;
    volume.backDisk([&](std::int32_t reference) {
        ejected.push_back(reference);
        return false;
    });
    EXPECT_EQ(ejected, std::vector<std::int32_t>{77});

    VolumeRow memory = row(5, 100, 50);
    memory.volumeSize = "Memory";
    memory.mouseDown();
    memory.cleanMemoryButtonClick();
    EXPECT_EQ(memory.volumeSize, "Freeing...");
    EXPECT_EQ(events,
              (std::vector<std::string>{"openFinderWhenClickItems", "refMenuItemWhenDeleteAndAdd",
                                        "cleanMemoryClickAction"}));
}

// The last kind with a group title is the memory; beyond it there is none.
TEST(VolumeRow, GroupTitlesEndWithTheMemoryKind) {
    EXPECT_EQ(VolumeRow::groupTitleKey(5), "FREE_MEMORY");
    EXPECT_EQ(VolumeRow::groupTitleKey(6), "");
}
