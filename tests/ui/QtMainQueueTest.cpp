// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <atomic>
#include <thread>

#include "core/work/ThreadWorker.h"
#include "shell/QtMainQueue.h"

using namespace quillby;

namespace {
bool spinUntil(const std::function<bool()>& done) {
    QElapsedTimer timer;
    timer.start();
    while (!done() && timer.elapsed() < 10000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    return done();
}
}  // namespace

TEST(QtMainQueue, WorkerCompletionArrivesOnTheEventLoopThread) {
    QtMainQueue queue;
    EXPECT_EQ(MainQueue::current(), &queue);
    std::thread::id completedOn;
    std::atomic<bool> worked{false};
    auto worker = ThreadWorker::workOn(
        "Test", "work:", ThreadWorker::Method([&](const std::any&) { worked = true; }), {},
        [&](const std::any&) { completedOn = std::this_thread::get_id(); });
    ASSERT_TRUE(spinUntil([&] { return completedOn != std::thread::id(); }));
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
    ASSERT_TRUE(spinUntil([&] { return returned.load(); }));
    other.join();
    EXPECT_EQ(ranOn, std::this_thread::get_id());
}
