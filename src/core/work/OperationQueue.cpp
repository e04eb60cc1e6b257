// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/work/OperationQueue.h"

#include <algorithm>

namespace quillby {

OperationQueue::OperationQueue() = default;

OperationQueue::~OperationQueue() {
    cancelAllOperations();
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    changed_.notify_all();
    for (auto& thread : threads_) thread.join();
}

void OperationQueue::setMaxConcurrentOperationCount(int count) {
    std::lock_guard lock(mutex_);
    maxConcurrent_ = std::max(1, count);
}

void OperationQueue::addOperation(std::shared_ptr<Operation> operation) {
    std::lock_guard lock(mutex_);
    pending_.push_back(std::move(operation));
    // Threads are made on demand and then kept, up to the concurrency limit.
    if (threads_.size() < static_cast<size_t>(maxConcurrent_)) {
        threads_.emplace_back([this] { workerLoop(); });
    }
    changed_.notify_all();
}

void OperationQueue::cancelAllOperations() {
    std::lock_guard lock(mutex_);
    for (auto& op : pending_) op->cancel();
    for (auto& op : running_) op->cancel();
}

void OperationQueue::waitUntilAllOperationsAreFinished() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return pending_.empty() && running_.empty(); });
}

size_t OperationQueue::operationCount() const {
    std::lock_guard lock(mutex_);
    return pending_.size() + running_.size();
}

void OperationQueue::workerLoop() {
    std::unique_lock lock(mutex_);
    for (;;) {
        changed_.wait(lock, [this] {
            return stopping_ ||
                   (!pending_.empty() && running_.size() < static_cast<size_t>(maxConcurrent_));
        });
        if (pending_.empty()) {
            if (stopping_) return;
            continue;
        }
        auto op = std::move(pending_.front());
        pending_.pop_front();
        running_.push_back(op);
        lock.unlock();
        if (!op->isCancelled()) op->main();
        op->finished_.store(true);
        lock.lock();
        std::erase(running_, op);
        changed_.notify_all();
    }
}

}  // namespace quillby
