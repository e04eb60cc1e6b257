#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

// A fixed set of threads, each with its own queue of tasks: a thread runs its newest task first
// (depth first, which keeps few folders open at a time) and, when its queue is empty, takes the
// oldest task of another thread. Tasks may submit further tasks.
class WorkStealingPool {
  public:
    using Task = std::function<void()>;

    // Starts `threads` threads (at least one).
    explicit WorkStealingPool(unsigned threads);
    // Waits for every task, then ends the threads.
    ~WorkStealingPool();
    WorkStealingPool(const WorkStealingPool&) = delete;
    WorkStealingPool& operator=(const WorkStealingPool&) = delete;

    // Queues a task; from one of the pool's threads it goes to that thread's own queue.
    void submit(Task task);
    // Blocks until every submitted task, and every task those submitted, has run. Not to be
    // called from a task.
    void wait();

    // More threads than cores, so that folders waiting for the disk do not leave cores idle;
    // bounded so that a large machine does not start hundreds.
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
