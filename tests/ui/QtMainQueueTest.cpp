// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>
#include <QTest>
#include <atomic>
#include <thread>

#include "core/work/ThreadWorker.h"
#include "ui/QtMainQueue.h"

using namespace quillby;

TEST(QtMainQueue, WorkerCompletionArrivesOnTheEventLoopThread) {
    QtMainQueue queue;
    EXPECT_EQ(MainQueue::current(), &queue);
    std::thread::id completedOn;
    std::atomic<bool> worked{false};
    auto worker = ThreadWorker::workOn(
        "Test", "work:", ThreadWorker::Method([&](const std::any&) { worked = true; }), {},
        [&](const std::any&) { completedOn = std::this_thread::get_id(); });
    ASSERT_TRUE(QTest::qWaitFor([&] { return completedOn != std::thread::id(); }, 10000));
    EXPECT_EQ(completedOn, std::this_thread::get_id());
    EXPECT_TRUE(worked);
}

TEST(QtMainQueue, InvokeAndWaitFromAnotherThreadBlocksUntilDone) {
    QtMainQueue queue;
    std::thread::id ranOn;
    std::atomic<bool> returned{false};
    std::thread other([&] {
        queue.invokeAndWait([&] { ranOn = std::this_thread::get_id(); });
        returned = true;
    });
    ASSERT_TRUE(QTest::qWaitFor([&] { return returned.load(); }, 10000));
    other.join();
    EXPECT_EQ(ranOn, std::this_thread::get_id());
}
