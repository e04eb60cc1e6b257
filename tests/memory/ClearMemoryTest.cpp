// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <thread>

#include "core/events/Log.h"
#include "memory/ClearMemory.h"
#include "memory/cleanMemoryInfo.h"
#include "platform/linux/LinuxProcessLauncher.h"
#include "support/TempDir.h"

using namespace quillby;

namespace fs = std::filesystem;

namespace {

struct FakeMemory : MemorySource {
    MemoryCounts counts;
    int error = 0;
    int sample(MemoryCounts& out) override {
        if (error == 0) out = counts;
        return error;
    }
};

// A purge tool: records its name and arguments, waits for `release` when given, exits `status`.
std::string tool(const TempDir& dir, const std::string& name, int status,
                 const std::string& release = "") {
    std::string wait =
        release.empty() ? "" : "while [ ! -e '" + release + "' ]; do sleep 0.02; done\n";
    fs::path script = dir.write(name, "#!/bin/sh\n" + wait + "echo \"" + name + " $*\" >> '" +
                                          (dir / "calls.txt").string() + "'\nexit " +
                                          std::to_string(status) + "\n");
    ::chmod(script.c_str(), 0755);
    return script.string();
}

std::shared_ptr<FakeMemory> memoryOf(std::uint64_t free, std::uint64_t inactive) {
    auto memory = std::make_shared<FakeMemory>();
    // free, inactive, active, wired, total, page-ins, page-outs, faults
    memory->counts = {free, inactive, 300, 40, 1000, 6, 7, 8};
    return memory;
}

void waitUntilFinished(ClearMemory& memory) {
    for (int i = 0; i < 500 && memory.isRuning(); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    memory.getMemoryInfo();
}

}  // namespace

TEST(ClearMemory, SamplesIntoTheTenFieldsAndKeepsThemWhenASampleFails) {
    auto source = memoryOf(100, 200);
    ClearMemory memory(source, std::make_shared<LinuxProcessLauncher>(), PurgeTools{});
    MemoryFigures info{};
    EXPECT_EQ(memory.getMemoryInfo(&info), 0);
    EXPECT_EQ(info, (MemoryFigures{100, 200, 300, 40, 900, 1000, 6, 7, 8, 0}));

    source->error = 5;
    source->counts.free = 999;
    MemoryFigures after{};
    EXPECT_EQ(memory.getMemoryInfo(&after), 5);
    EXPECT_EQ(after, info);

    cleanMemoryInfo texts = cleanMemoryInfo::fromMemoryInfo(
        MemoryFigures{512ull << 20, 1ull << 30, 0, 2048, 3ull << 30, 4ull << 30, 0, 0, 0, 0});
    EXPECT_EQ(texts.freeMem, "512.00 MB");
    EXPECT_EQ(texts.inactiveMem, "1.00 GB");
    EXPECT_EQ(texts.activeMem, "0.00 KB");
    EXPECT_EQ(texts.wiredMem, "2.00 KB");
    EXPECT_EQ(texts.usedMem, "3.00 GB");
    EXPECT_EQ(texts.totalMem, "4.00 GB");
}

TEST(ClearMemory, PurgeOrderSystemToolThenHelperThenItself) {
    TempDir dir;
    auto launcher = std::make_shared<LinuxProcessLauncher>();
    PurgeTools tools;
    tools.systemTool = tool(dir, "purge", 0);
    tools.helper = tool(dir, "quillby-helper", 0);
    tools.pkexec = tool(dir, "pkexec", 0);
    tools.selfExecutable = tool(dir, "quillby-pro", 0);
    tools.runningAsRoot = true;

    auto run = [&](const PurgeTools& chosen) {
        fs::remove(dir / "calls.txt");
        ClearMemory memory(memoryOf(100, 23), launcher, chosen);
        memory.getMemoryInfo();
        EXPECT_EQ(memory.clearMemory(), 0);
        waitUntilFinished(memory);
        EXPECT_EQ(memory.lastExitStatus(), 0);
        return TempDir::read(dir / "calls.txt");
    };
    EXPECT_EQ(run(tools), "purge \n");
    PurgeTools noSystemTool = tools;
    noSystemTool.systemTool = (dir / "absent").string();
    EXPECT_EQ(run(noSystemTool), "quillby-helper purge\n");
    PurgeTools notRoot = noSystemTool;
    notRoot.runningAsRoot = false;
    EXPECT_EQ(run(notRoot), "pkexec " + tools.helper + " purge\n");
    PurgeTools noPkexec = notRoot;
    noPkexec.pkexec.clear();
    EXPECT_EQ(run(noPkexec), "quillby-pro fr 123\n");  // free + inactive of the last sample
    PurgeTools noHelper = noSystemTool;
    noHelper.helper.clear();
    EXPECT_EQ(run(noHelper), "quillby-pro fr 123\n");
}

TEST(ClearMemory, OnlyOnePurgeAtATimeAndItsEndIsLogged) {
    TempDir dir;
    std::string release = (dir / "release").string();
    PurgeTools tools;
    tools.helper = tool(dir, "quillby-helper", 3, release);
    tools.runningAsRoot = true;
    ClearMemory memory(memoryOf(1, 2), std::make_shared<LinuxProcessLauncher>(), tools);
    std::vector<std::string> lines;
    ScopedLogCapture capture([&](std::string_view line) { lines.emplace_back(line); });

    EXPECT_EQ(memory.clearMemory(), 0);
    EXPECT_TRUE(memory.isRuning());
    EXPECT_EQ(memory.clearMemory(), 1);  // the second press starts nothing
    dir.write("release", "");
    waitUntilFinished(memory);
    EXPECT_FALSE(memory.isRuning());
    EXPECT_EQ(memory.lastTool(), ClearMemory::PurgeTool::Helper);
    EXPECT_EQ(memory.lastExitStatus(), 3);
    EXPECT_EQ(TempDir::read(dir / "calls.txt"), "quillby-helper purge\n");
    EXPECT_NE(std::find(lines.begin(), lines.end(), "Task finished. status = 3"), lines.end());

    // A tool that cannot start is a failed purge, not a running one.
    PurgeTools missing;
    ClearMemory nothing(memoryOf(1, 2), std::make_shared<LinuxProcessLauncher>(), missing);
    EXPECT_EQ(nothing.clearMemory(), 0);
    EXPECT_FALSE(nothing.isRuning());
    EXPECT_EQ(nothing.lastTool(), ClearMemory::PurgeTool::None);
    EXPECT_EQ(nothing.lastExitStatus(), 127);
}
