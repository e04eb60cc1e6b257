#pragma once

#include <condition_variable>
#include <cstddef>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

// A fixed set of threads running submitted tasks, newest first (so a tree walk stays close to
// depth-first and its list of pending folders small). Tasks may submit further tasks. Each task
// learns the index of the thread running it, so per-thread resources (read buffers) need no
// locking.
class WorkerPool {
  public:
    using Task = std::function<void(unsigned worker)>;

    // Starts `threadCount` threads (at least one).
    explicit WorkerPool(unsigned threadCount);
    // Waits for every task, then ends the threads.
    ~WorkerPool();
    WorkerPool(const WorkerPool&) = delete;
    WorkerPool& operator=(const WorkerPool&) = delete;

    unsigned threadCount() const { return static_cast<unsigned>(threads_.size()); }
    void submit(Task task);
    // Blocks until every submitted task, and every task they submitted, has returned.
    void waitUntilIdle();
    // Runs body(worker, i) for every i below count on all threads and returns when all ran.
    // Indices are handed out in increasing order.
    void forEachIndex(std::size_t count, const std::function<void(unsigned, std::size_t)>& body);

    // One thread per core: enough for work that computes.
    static unsigned machineThreadCount();
    // Threads for work that mostly waits for the disk (listing folders, reading small files):
    // two per core, at least 8 and at most 32, so that the disk always has requests queued.
    static unsigned readingThreadCount();

  private:
    void run(unsigned worker);

    std::mutex mutex_;
    std::condition_variable taskArrived_;
    std::condition_variable idle_;
    std::vector<Task> tasks_;
    std::size_t running_ = 0;
    bool stopping_ = false;
    std::vector<std::thread> threads_;
};
