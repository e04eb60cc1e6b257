// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <atomic>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace quillby {

// A queued piece of work with cooperative cancellation: main() runs on the queue's thread and
// reads isCancelled() between its steps.
class Operation {
  public:
    virtual ~Operation() = default;
    virtual void main() = 0;

    void cancel() { cancelled_.store(true, std::memory_order_relaxed); }
    bool isCancelled() const { return cancelled_.load(std::memory_order_relaxed); }
    bool isFinished() const { return finished_.load(); }

  private:
    friend class OperationQueue;
    std::atomic<bool> cancelled_{false};
    std::atomic<bool> finished_{false};
};

// Runs queued operations in order on threads of its own, at most maxConcurrentOperationCount
// at a time (1 makes it serial). An operation cancelled before it starts is finished without
// running. Destroying the queue cancels what is queued and waits for what runs.
class OperationQueue {
  public:
    OperationQueue();
    ~OperationQueue();
    OperationQueue(const OperationQueue&) = delete;
    OperationQueue& operator=(const OperationQueue&) = delete;

    void setMaxConcurrentOperationCount(int count);
    void addOperation(std::shared_ptr<Operation> operation);
    void cancelAllOperations();
    void waitUntilAllOperationsAreFinished();
    // Operations queued or running.
    size_t operationCount() const;

  private:
    void workerLoop();

    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<std::shared_ptr<Operation>> pending_;
    std::vector<std::shared_ptr<Operation>> running_;
    std::vector<std::thread> threads_;
    int maxConcurrent_ = 1;
    bool stopping_ = false;
};

}  // namespace quillby
