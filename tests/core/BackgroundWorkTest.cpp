// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>
#include <atomic>
#include <chrono>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "core/events/Log.h"
#include "core/work/OperationQueue.h"
#include "core/work/PlainMainQueue.h"
#include "core/work/ThreadWorker.h"
#include "core/work/WorkStealingPool.h"

using namespace quillby;

TEST(ThreadWorker, CompletionRunsOnTheStartingThreadAfterTheWork) {
    PlainMainQueue queue;
    std::atomic<bool> release{false}, workDone{false};
    std::thread::id workThread, completionThread;
    ThreadWorker* seen = nullptr;
    bool completionSawWork = false, completionArgumentEmpty = false;
    auto worker = ThreadWorker::workOn(
        "Test", "work:worker:",
        ThreadWorker::MethodWithWorker([&](const std::any& argument, ThreadWorker& self) {
            EXPECT_EQ(std::any_cast<int>(argument), 42);
            workThread = std::this_thread::get_id();
            seen = &self;
            while (!release) std::this_thread::yield();
            workDone = true;
        }),
        42, [&](const std::any& argument) {
            completionThread = std::this_thread::get_id();
            completionSawWork = workDone;
            completionArgumentEmpty = !argument.has_value();
        });
    ASSERT_NE(worker, nullptr);
    EXPECT_FALSE(worker->finished());
    release = true;
    worker->waitUntilFinished();
    EXPECT_EQ(seen, worker.get());
    ASSERT_TRUE(queue.runUntil([&] { return completionThread != std::thread::id(); }));
    EXPECT_EQ(completionThread, std::this_thread::get_id());
    EXPECT_NE(workThread, std::this_thread::get_id());
    EXPECT_TRUE(completionSawWork);
    EXPECT_TRUE(completionArgumentEmpty);
}

TEST(ThreadWorker, MissingMethodStartsNothingAndSaysWhy) {
    PlainMainQueue queue;
    std::vector<std::string> lines;
    ScopedLogCapture capture([&](std::string_view line) { lines.emplace_back(line); });
    auto worker = ThreadWorker::workOn("Scanner", "scan:", ThreadWorker::Method(), {}, {});
    EXPECT_EQ(worker, nullptr);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0],
              "\nThreadWorker reports: Target Scanner does not respond to selector scan:.");
}

// A job may outlive the program part that started it: its completion then has nowhere to go
// and is dropped, instead of being posted into a destroyed queue.
TEST(ThreadWorker, ACompletionAfterItsQueueIsGoneIsDropped) {
    auto queue = std::make_unique<PlainMainQueue>();
    // Shared, not on this stack: the detached thread may still be unwinding when the test ends.
    struct Flags {
        std::atomic<bool> release{false}, completed{false};
    };
    auto flags = std::make_shared<Flags>();
    auto worker = ThreadWorker::workOn(
        "Test", "job:", ThreadWorker::Method([flags](const std::any&) {
            while (!flags->release) std::this_thread::yield();
        }),
        {}, [flags](const std::any&) { flags->completed = true; }, queue.get());
    std::weak_ptr<ThreadWorker> running = worker;
    worker.reset();
    queue.reset();
    flags->release = true;
    for (int i = 0; i < 2000 && !running.expired(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    EXPECT_TRUE(running.expired());  // the job's thread ended
    EXPECT_FALSE(flags->completed);
}

TEST(PlainMainQueue, InvokeAndWaitRunsOnTheMainThreadAndBlocks) {
    PlainMainQueue queue;
    std::thread::id ranOn;
    std::atomic<bool> returned{false};
    std::thread other([&] {
        queue.invokeAndWait([&] { ranOn = std::this_thread::get_id(); });
        returned = true;
    });
    ASSERT_TRUE(queue.runUntil([&] { return ranOn != std::thread::id(); }));
    other.join();
    EXPECT_TRUE(returned);
    EXPECT_EQ(ranOn, std::this_thread::get_id());
    EXPECT_EQ(MainQueue::current(), &queue);
    int direct = 0;
    queue.invokeAndWait([&] { ++direct; });  // on the main thread: runs at once
    EXPECT_EQ(direct, 1);
}

namespace {
struct Step : Operation {
    Step(std::vector<int>& log, std::mutex& m, int id, std::atomic<bool>* gate = nullptr)
        : log(log), mutex(m), id(id), gate(gate) {}
    void main() override {
        if (gate) {
            while (!*gate && !isCancelled()) std::this_thread::yield();
            if (isCancelled()) return;
        }
        std::lock_guard lock(mutex);
        log.push_back(id);
    }
    std::vector<int>& log;
    std::mutex& mutex;
    int id;
    std::atomic<bool>* gate;
};
}  // namespace

TEST(OperationQueue, SerialQueueRunsInOrderOneAtATime) {
    std::vector<int> log;
    std::mutex mutex;
    OperationQueue queue;
    queue.setMaxConcurrentOperationCount(1);
    for (int i = 0; i < 20; ++i) queue.addOperation(std::make_shared<Step>(log, mutex, i));
    queue.waitUntilAllOperationsAreFinished();
    std::vector<int> expected(20);
    for (int i = 0; i < 20; ++i) expected[i] = i;
    EXPECT_EQ(log, expected);
    EXPECT_EQ(queue.operationCount(), 0u);
}

TEST(OperationQueue, CancelStopsTheRunningOperationAndSkipsTheQueued) {
    std::vector<int> log;
    std::mutex mutex;
    std::atomic<bool> never{false};
    OperationQueue queue;
    auto blocking = std::make_shared<Step>(log, mutex, 1, &never);
    auto queued = std::make_shared<Step>(log, mutex, 2);
    queue.addOperation(blocking);
    queue.addOperation(queued);
    queue.cancelAllOperations();
    queue.waitUntilAllOperationsAreFinished();
    EXPECT_TRUE(log.empty());
    EXPECT_TRUE(blocking->isFinished());
    EXPECT_TRUE(queued->isFinished());
    // The queue takes new work after a cancellation.
    queue.addOperation(std::make_shared<Step>(log, mutex, 3));
    queue.waitUntilAllOperationsAreFinished();
    EXPECT_EQ(log, std::vector<int>{3});
}

// Tasks that submit tasks (as a tree walk does) all run before wait() returns, each on a worker
// whose index is below the thread count, so per-worker buffers indexed by it are safe.
TEST(WorkStealingPool, NestedTasksAllRunOnIndexedWorkers) {
    WorkStealingPool pool(3);
    ASSERT_EQ(pool.threadCount(), 3u);
    std::atomic<int> ran{0};
    std::atomic<bool> indexInRange{true};
    std::function<void(int)> spread = [&](int depth) {
        pool.submit([&, depth](unsigned worker) {
            if (worker >= pool.threadCount()) indexInRange = false;
            ++ran;
            if (depth < 8) {
                spread(depth + 1);
                spread(depth + 1);
            }
        });
    };
    spread(0);
    pool.wait();
    EXPECT_EQ(ran.load(), (1 << 9) - 1);
    EXPECT_TRUE(indexInRange.load());
}

TEST(WorkStealingPool, ForEachIndexVisitsEveryIndexOnce) {
    WorkStealingPool pool(4);
    std::vector<std::atomic<int>> visits(1000);
    pool.forEachIndex(visits.size(), [&](unsigned, std::size_t i) { ++visits[i]; });
    for (std::size_t i = 0; i < visits.size(); ++i) ASSERT_EQ(visits[i].load(), 1) << i;
    pool.forEachIndex(0, [&](unsigned, std::size_t) { ADD_FAILURE(); });
}
