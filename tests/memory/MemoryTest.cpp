// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>
#include <chrono>
#include <optional>
#include <thread>

#include "core/events/Log.h"
#include "memory/CleanMemoryModel.h"
#include "memory/ClearMemory.h"
#include "memory/cleanMemoryInfo.h"
#include "platform/linux/LinuxProcessLauncher.h"
#include "support/RecordingTool.h"
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
    tools.systemTool = recordingTool(dir, "purge", 0);
    tools.helper = recordingTool(dir, "quillby-helper", 0);
    tools.pkexec = recordingTool(dir, "pkexec", 0);
    tools.selfExecutable = recordingTool(dir, "quillby-pro", 0);
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
    tools.helper = recordingTool(dir, "quillby-helper", 3, release);
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

namespace {

// Starts no program: each purge reads as running for its first `checks` looks, then as ended
// with `status`, so a test can end it between two looks of the page.
class ScriptedLauncher final : public ProcessLauncher {
  public:
    ScriptedLauncher(int checks, int status) : checks_(checks), status_(status) {}
    std::unique_ptr<LaunchedProcess> launch(const std::string&,
                                            const std::vector<std::string>&) override {
        return std::make_unique<Process>(checks_, status_);
    }
    std::string ownExecutable() override { return {}; }
    std::string findTool(const std::string&) override { return {}; }
    bool runningAsAdministrator() override { return true; }

  private:
    struct Process final : LaunchedProcess {
        Process(int checks, int status) : checks(checks), status(status) {}
        bool isRunning() override { return checks-- > 0; }
        int terminationStatus() override { return checks < 0 ? status : -1; }
        void terminate() override {}
        int checks;
        int status;
    };
    int checks_;
    int status_;
};

// A page over 4 GiB of memory whose purge (when `status` is given) waits for `release`; with
// `scripted`, the purge is that launcher's instead.
struct PurgePage {
    explicit PurgePage(std::optional<int> status,
                       std::shared_ptr<ProcessLauncher> scripted = nullptr) {
        memory->counts.total = 1ull << 32;
        PurgeTools tools;
        if (status)
            tools.systemTool = recordingTool(dir, "purge", *status, (dir / "release").string());
        auto launcher = scripted ? scripted : std::make_shared<LinuxProcessLauncher>();
        page = std::make_unique<CleanMemoryModel>(
            std::make_unique<ClearMemory>(memory, std::move(launcher), tools));
        page->updateTitleForLabelValue();
    }
    bool finish() {
        dir.write("release", "");
        for (int i = 0; i < 500; ++i) {
            if (page->updateTitleForLabelValue()) return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return false;
    }
    TempDir dir;
    std::shared_ptr<FakeMemory> memory = memoryOf(1000, 0);
    std::unique_ptr<CleanMemoryModel> page;
};

}  // namespace

TEST(CleanMemoryModel, ReportsTheRiseInFreeMemoryAndNeverANegativeAmount) {
    PurgePage purge(0);
    auto& page = *purge.page;
    EXPECT_EQ(page.texts().totalMem, "4.00 GB");
    EXPECT_TRUE(page.CleanButtonAction());
    EXPECT_TRUE(page.isFreeing());
    EXPECT_FALSE(page.CleanButtonAction());  // a second press while it runs starts nothing
    purge.memory->counts.free = 1000 + (512ull << 20);
    ASSERT_TRUE(purge.finish());
    EXPECT_EQ(page.cleanFreeSave(), 512ull << 20);
    EXPECT_EQ(page.resultText(), "512.00 MB freed.");

    fs::remove(purge.dir / "release");
    EXPECT_TRUE(page.CleanButtonAction());
    purge.memory->counts.free = 10;  // less free memory after the purge than before
    ASSERT_TRUE(purge.finish());
    EXPECT_EQ(page.cleanFreeSave(), 0u);
    EXPECT_EQ(page.resultText(), "0.00 KB freed.");
}

TEST(CleanMemoryModel, APurgeThatDidNotRunFreesNothingAndSaysWhy) {
    struct Case {
        const char* name;
        bool withTool;
        std::shared_ptr<ProcessLauncher> launcher;
        const char* text;
    };
    const Case cases[] = {
        {"the tool fails", true, nullptr,
         "The caches were not dropped: the purge ended with status 1."},
        // The page samples while the purge runs, and it has ended when the page asks next.
        {"the tool fails between two looks", true, std::make_shared<ScriptedLauncher>(1, 1),
         "The caches were not dropped: the purge ended with status 1."},
        {"no tool at all", false, nullptr,
         "The caches were not dropped: quillby-helper is not installed."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PurgePage purge(c.withTool ? std::optional(1) : std::nullopt, c.launcher);
        EXPECT_TRUE(purge.page->CleanButtonAction());
        purge.memory->counts.free += 64ull << 20;  // free memory rose by itself meanwhile
        ASSERT_TRUE(purge.finish());
        EXPECT_EQ(purge.page->cleanFreeSave(), 0u);
        EXPECT_EQ(purge.page->resultText(), c.text);
    }
}
