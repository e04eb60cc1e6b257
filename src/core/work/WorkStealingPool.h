// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace quillby {

// A fixed set of threads, each with its own queue of tasks: a thread runs its newest task first
// (depth first, which keeps few folders open at a time) and, when its queue is empty, takes the
// oldest task of another thread. Tasks may submit further tasks. Each task learns the index of
// the thread running it, so per-thread resources (read buffers) need no locking.
class WorkStealingPool {
  public:
    using Task = std::function<void(unsigned worker)>;

    // Starts `threads` threads (at least one).
    explicit WorkStealingPool(unsigned threads);
    // Waits for every task, then ends the threads.
    ~WorkStealingPool();
    WorkStealingPool(const WorkStealingPool&) = delete;
    WorkStealingPool& operator=(const WorkStealingPool&) = delete;

    unsigned threadCount() const { return static_cast<unsigned>(threads_.size()); }
    // Queues a task; from one of the pool's threads it goes to that thread's own queue.
    void submit(Task task);
    // Blocks until every submitted task, and every task those submitted, has run. Not to be
    // called from a task.
    void wait();
    // Runs body(worker, i) for every i below count on all threads and returns when all ran.
    // Indices are handed out in increasing order. Not to be called from a task.
    void forEachIndex(std::size_t count, const std::function<void(unsigned, std::size_t)>& body);

    // One thread per core: enough for work that computes.
    static unsigned machineThreadCount();
    // Threads for work that mostly waits for the disk (listing folders, reading files): more
    // than cores, so that the disk always has requests queued, two per core, at least 8 and
    // at most 32, so that a large machine does not start hundreds.
    static unsigned defaultThreadCount();

  private:
    struct Queue {
        std::mutex mutex;
        std::deque<Task> tasks;
    };

    void run(unsigned index);
    bool takeTask(unsigned index, Task& task);
    void finishTask();

    std::vector<std::unique_ptr<Queue>> queues_;
    std::vector<std::thread> threads_;
    std::atomic<std::int64_t> queued_{0};       // tasks waiting in some queue
    std::atomic<std::int64_t> outstanding_{0};  // tasks submitted and not yet finished
    std::atomic<unsigned> nextQueue_{0};
    std::atomic<int> sleepers_{0};
    std::mutex sleepMutex_;
    std::condition_variable workArrived_;
    std::condition_variable allDone_;
    bool stopping_ = false;
};

}  // namespace quillby
