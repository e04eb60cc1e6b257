// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>
#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

#include "core/work/BackgroundJob.h"
#include "core/work/PlainMainQueue.h"

using namespace quillby;
using namespace std::chrono_literals;

TEST(BackgroundJob, ResultAndThrottledProgressArriveOnTheOwningThread) {
    PlainMainQueue queue;
    JobOwner owner;
    std::vector<bool> busy;
    owner.setBusyHandler([&](bool now) { busy.push_back(now); });
    std::vector<JobProgress> seen;
    std::thread::id workThread, doneThread, progressThread;
    int result = 0;
    owner.start<int>(
        [&](JobContext& job) {
            workThread = std::this_thread::get_id();
            for (std::uint64_t step = 1; step <= 200; ++step) {
                job.report({step, 200, step * 10, "/item/" + std::to_string(step)});
            }
            return 42;
        },
        [&](int value) {
            doneThread = std::this_thread::get_id();
            result = value;
        },
        [&](const JobProgress& progress) {
            progressThread = std::this_thread::get_id();
            seen.push_back(progress);
        });
    EXPECT_EQ(owner.running(), 1);
    ASSERT_TRUE(queue.runUntil([&] { return result != 0; }));
    EXPECT_EQ(result, 42);
    EXPECT_NE(workThread, std::this_thread::get_id());
    EXPECT_EQ(doneThread, std::this_thread::get_id());
    EXPECT_EQ(progressThread, std::this_thread::get_id());
    // 200 reports in a burst reach the page as a few snapshots, the last one complete.
    ASSERT_FALSE(seen.empty());
    EXPECT_LE(seen.size(), 3u);
    EXPECT_EQ(seen.back().done, 200u);
    EXPECT_EQ(seen.back().currentPath, "/item/200");
    EXPECT_DOUBLE_EQ(seen.back().fraction(), 1.0);
    EXPECT_EQ(owner.running(), 0);
    EXPECT_EQ(busy, (std::vector<bool>{true, false}));
}

TEST(BackgroundJob, StopReachesTheWorkAndItsResultStillArrives) {
    PlainMainQueue queue;
    JobOwner owner;
    int steps = -1;
    auto returned = std::make_shared<std::atomic<bool>>(false);
    Job job = owner.start<int>(
        [returned](JobContext& context) {
            int done = 0;
            auto deadline = std::chrono::steady_clock::now() + 30s;
            while (!context.stopRequested() && std::chrono::steady_clock::now() < deadline) {
                ++done;
                std::this_thread::sleep_for(1ms);
            }
            std::this_thread::sleep_for(20ms);  // a slow last step: the wait below must cover it
            *returned = true;
            return context.stopRequested() ? done : -2;
        },
        [&](int done) { steps = done; });
    std::this_thread::sleep_for(20ms);
    job.requestStop();
    EXPECT_TRUE(job.stopRequested());
    // The owner may wait for the work itself; the result still waits for the owning thread.
    job.waitUntilWorkEnded();
    EXPECT_TRUE(*returned);
    EXPECT_EQ(steps, -1);
    ASSERT_TRUE(queue.runUntil([&] { return steps != -1; }));
    EXPECT_GE(steps, 0);
}

TEST(BackgroundJob, ResultArrivingAfterItsOwnerWentIsDroppedAndTheWorkToldToStop) {
    PlainMainQueue queue;
    std::atomic<bool> ended{false}, sawStop{false};
    bool delivered = false, progressed = false;
    {
        JobOwner owner;
        owner.start(
            [&, back = owner.queue()](JobContext& job) {
                while (!job.stopRequested()) std::this_thread::sleep_for(1ms);
                sawStop = true;
                job.report({1, 1, 0, "/late"});
                back.post([&] { delivered = true; });  // news that is not the job's own
                ended = true;
            },
            [&] { delivered = true; }, [&](const JobProgress&) { progressed = true; });
    }
    while (!ended) std::this_thread::sleep_for(1ms);
    queue.runUntil([] { return false; }, 200ms);
    EXPECT_TRUE(sawStop);
    EXPECT_FALSE(delivered);
    EXPECT_FALSE(progressed);
}

TEST(BackgroundJob, ContextWithoutAJobReportsToItsCallback) {
    std::stop_source stop;
    std::vector<std::uint64_t> done;
    JobContext context(stop.get_token(), [&](const JobProgress& p) { done.push_back(p.done); });
    context.report({1, 0, 0, {}});
    context.report({2, 0, 0, {}});
    EXPECT_EQ(done, (std::vector<std::uint64_t>{1, 2}));  // the caller throttles its own display
    EXPECT_LT(JobProgress{}.fraction(), 0.0);             // unknown total
    EXPECT_FALSE(context.stopRequested());
    stop.request_stop();
    EXPECT_TRUE(context.stopRequested());
}
