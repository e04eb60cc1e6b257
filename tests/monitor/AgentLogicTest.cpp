// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "monitor/LevelImage.h"

using namespace quillby;

using namespace LevelImage;

namespace {
MountedVolume boot(std::uint64_t total, std::uint64_t free) {
    MountedVolume volume;
    volume.bIsDefaultVol = true;
    volume.volRootDir = "/";
    volume.nTotalSize = total;
    volume.nFreeSize = free;
    return volume;
}
}  // namespace

TEST(LevelImage, StatusImageAtTheEdges) {
    auto image = [](std::uint64_t total, std::uint64_t free, float alarm = 0.1f) {
        MountedVolume volume = boot(total, free);
        return getStatusImage(&volume, alarm).value_or("none");
    };
    EXPECT_EQ(image(1000, 580), "42%.png");
    EXPECT_EQ(image(1000, 8), "100%-1.png");   // 99.2 % used rounds up to 100
    EXPECT_EQ(image(1000, 0), "100%-1.png");   // exactly full
    EXPECT_EQ(image(1000, 100), "90%-1.png");  // free percent equal to the alarm: alarm variant
    EXPECT_EQ(image(1000, 101), "90%-1.png");  // 10.1 % free rounds down to 10: alarm
    EXPECT_EQ(image(1000, 110), "89%.png");
    EXPECT_EQ(image(0, 0), "none");        // total 0: no image
    EXPECT_EQ(image(1000, 1001), "none");  // more free than total: used above 100
    EXPECT_EQ(image(1000, 70, 0.0f), "93%.png");
    EXPECT_EQ(getStatusImage(nullptr, 0.1f), std::nullopt);
    // A size whose hundredfold overflows 64 bits still gives the right level.
    EXPECT_EQ(image(100ull << 56, 50ull << 56), "50%.png");

    std::vector<MountedVolume> volumes{MountedVolume{}, boot(1000, 70)};
    volumes[0].nTotalSize = 10;
    EXPECT_EQ(getStatusImage(volumes, 0.1f), "93%-1.png");  // the boot volume, not the first

    EXPECT_TRUE(getWarningValue(100, 1000, 10));
    EXPECT_FALSE(getWarningValue(110, 1000, 10));
    EXPECT_FALSE(getWarningValue(0, 0, 10));
}
