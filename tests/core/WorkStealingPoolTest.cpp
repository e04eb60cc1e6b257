// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <set>
#include <vector>

#include "core/work/WorkStealingPool.h"

using namespace quillby;

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
