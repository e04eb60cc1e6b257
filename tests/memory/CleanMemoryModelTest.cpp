// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <thread>

#include "memory/CleanMemoryModel.h"
#include "memory/ClearMemory.h"
#include "platform/linux/LinuxProcessLauncher.h"
#include "support/TempDir.h"

using namespace quillby;

namespace {

struct ShiftingMemory : MemorySource {
    std::uint64_t free = 1000;
    int sample(MemoryCounts& counts) override {
        counts.total = 1ull << 32;
        counts.free = free;
        return 0;
    }
};

// A purge tool that waits for `release` to exist, then exits with `status`.
PurgeTools waitingTool(const TempDir& dir, int status = 0) {
    auto script =
        dir.write("purge", "#!/bin/sh\nwhile [ ! -e '" + (dir / "release").string() +
                               "' ]; do sleep 0.02; done\nexit " + std::to_string(status) + "\n");
    ::chmod(script.c_str(), 0755);
    PurgeTools tools;
    tools.systemTool = script.string();
    return tools;
}

bool finishPurge(CleanMemoryModel& page, const TempDir& dir) {
    dir.write("release", "");
    for (int i = 0; i < 500; ++i) {
        if (page.updateTitleForLabelValue()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

}  // namespace

TEST(CleanMemoryModel, ReportsTheRiseInFreeMemoryAndNeverANegativeAmount) {
    TempDir dir;
    auto memory = std::make_shared<ShiftingMemory>();
    CleanMemoryModel page(std::make_unique<ClearMemory>(
        memory, std::make_shared<LinuxProcessLauncher>(), waitingTool(dir)));
    page.updateTitleForLabelValue();
    EXPECT_EQ(page.texts().totalMem, "4.00 GB");
    EXPECT_TRUE(page.CleanButtonAction());
    EXPECT_TRUE(page.isFreeing());
    EXPECT_FALSE(page.CleanButtonAction());  // a second press while it runs starts nothing
    memory->free = 1000 + (512ull << 20);
    ASSERT_TRUE(finishPurge(page, dir));
    EXPECT_EQ(page.cleanFreeSave(), 512ull << 20);
    EXPECT_EQ(page.resultText(), "512.00 MB freed.");

    ::unlink((dir / "release").c_str());
    EXPECT_TRUE(page.CleanButtonAction());
    memory->free = 10;  // less free memory after the purge than before
    ASSERT_TRUE(finishPurge(page, dir));
    EXPECT_EQ(page.cleanFreeSave(), 0u);
    EXPECT_EQ(page.resultText(), "0.00 KB freed.");
}

TEST(CleanMemoryModel, APurgeThatDidNotRunFreesNothingAndSaysWhy) {
    struct Case {
        const char* name;
        bool withTool;
        const char* text;
    };
    const Case cases[] = {
        {"the tool fails", true, "The caches were not dropped: the purge ended with status 1."},
        {"no tool at all", false, "The caches were not dropped: quillby-helper is not installed."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        auto memory = std::make_shared<ShiftingMemory>();
        CleanMemoryModel page(
            std::make_unique<ClearMemory>(memory, std::make_shared<LinuxProcessLauncher>(),
                                          c.withTool ? waitingTool(dir, 1) : PurgeTools{}));
        page.updateTitleForLabelValue();
        EXPECT_TRUE(page.CleanButtonAction());
        memory->free += 64ull << 20;  // free memory rose by itself meanwhile
        ASSERT_TRUE(finishPurge(page, dir));
        EXPECT_EQ(page.cleanFreeSave(), 0u);
        EXPECT_EQ(page.resultText(), c.text);
    }
}
