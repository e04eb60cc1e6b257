// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>
#include <atomic>
#include <chrono>
#include <thread>

#include "platform/linux/BoundedSpaceQuery.h"

using namespace quillby;

using namespace std::chrono_literals;

TEST(BoundedSpaceQuery, ADeadServerNeitherStallsTheCallerNorPilesUpQueries) {
    // A server that does not answer until released, then reports 100 of 1000 bytes free.
    auto released = std::make_shared<std::atomic<bool>>(false);
    auto calls = std::make_shared<std::atomic<int>>(0);
    BoundedSpaceQuery measure(
        [released, calls](const std::string&) -> std::optional<VolumeSpace> {
            ++*calls;
            while (!*released) std::this_thread::sleep_for(5ms);
            return VolumeSpace{1000, 100};
        },
        50ms);
    auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(measure("/mnt/nfs"));  // nothing known yet
    EXPECT_FALSE(measure("/mnt/nfs"));  // still waiting: no second query
    EXPECT_LT(std::chrono::steady_clock::now() - start, 2s);
    EXPECT_EQ(*calls, 1);

    *released = true;
    std::optional<VolumeSpace> space;
    for (int i = 0; i < 200 && !space; ++i) {
        std::this_thread::sleep_for(10ms);
        space = measure("/mnt/nfs");
    }
    ASSERT_TRUE(space);
    EXPECT_EQ(space->totalBytes, 1000u);
    EXPECT_EQ(space->freeBytes, 100u);
}

TEST(BoundedSpaceQuery, AFailedAnswerKeepsTheLastFigures) {
    bool fail = false;
    BoundedSpaceQuery measure(
        [&fail](const std::string&) -> std::optional<VolumeSpace> {
            if (fail) return std::nullopt;
            return VolumeSpace{10, 5};
        },
        1s);
    EXPECT_EQ(measure("/mnt/share")->freeBytes, 5u);
    fail = true;
    EXPECT_EQ(measure("/mnt/share")->freeBytes, 5u);
}
