// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/work/WorkStealingPool.h"

#include <algorithm>

namespace quillby {

namespace {
// The pool and queue of the pool thread running the caller (no pool outside them).
thread_local const WorkStealingPool* currentPool = nullptr;
thread_local unsigned currentIndex = 0;
}  // namespace

WorkStealingPool::WorkStealingPool(unsigned threads) {
    threads = std::max(1u, threads);
    for (unsigned i = 0; i < threads; ++i) queues_.push_back(std::make_unique<Queue>());
    for (unsigned i = 0; i < threads; ++i) threads_.emplace_back([this, i] { run(i); });
}

WorkStealingPool::~WorkStealingPool() {
    wait();
    {
        std::lock_guard lock(sleepMutex_);
        stopping_ = true;
    }
    workArrived_.notify_all();
    for (auto& thread : threads_) thread.join();
}

unsigned WorkStealingPool::machineThreadCount() {
    return std::max(1u, std::thread::hardware_concurrency());
}

unsigned WorkStealingPool::defaultThreadCount() {
    return std::clamp(2 * machineThreadCount(), 8u, 32u);
}

void WorkStealingPool::forEachIndex(std::size_t count,
                                    const std::function<void(unsigned, std::size_t)>& body) {
    std::atomic<std::size_t> next{0};
    for (unsigned i = 0; i < threadCount(); ++i) {
        submit([&](unsigned worker) {
            for (std::size_t index = next.fetch_add(1); index < count; index = next.fetch_add(1)) {
                body(worker, index);
            }
        });
    }
    wait();
}

void WorkStealingPool::submit(Task task) {
    outstanding_.fetch_add(1);
    unsigned index = currentPool == this ? currentIndex : nextQueue_.fetch_add(1) % queues_.size();
    {
        std::lock_guard lock(queues_[index]->mutex);
        queues_[index]->tasks.push_back(std::move(task));
    }
    queued_.fetch_add(1);
    // A sleeper registers before it checks `queued_`, so either it sees the task or we see it.
    if (sleepers_.load() > 0) {
        std::lock_guard lock(sleepMutex_);
        workArrived_.notify_one();
    }
}

void WorkStealingPool::wait() {
    std::unique_lock lock(sleepMutex_);
    allDone_.wait(lock, [this] { return outstanding_.load() == 0; });
}

bool WorkStealingPool::takeTask(unsigned index, Task& task) {
    {
        Queue& own = *queues_[index];
        std::lock_guard lock(own.mutex);
        if (!own.tasks.empty()) {
            task = std::move(own.tasks.back());
            own.tasks.pop_back();
            queued_.fetch_sub(1);
            return true;
        }
    }
    for (size_t step = 1; step < queues_.size(); ++step) {
        Queue& other = *queues_[(index + step) % queues_.size()];
        std::lock_guard lock(other.mutex);
        if (!other.tasks.empty()) {
            task = std::move(other.tasks.front());
            other.tasks.pop_front();
            queued_.fetch_sub(1);
            return true;
        }
    }
    return false;
}

void WorkStealingPool::finishTask() {
    if (outstanding_.fetch_sub(1) == 1) {
        std::lock_guard lock(sleepMutex_);
        allDone_.notify_all();
    }
}

void WorkStealingPool::run(unsigned index) {
    currentPool = this;
    currentIndex = index;
    Task task;
    for (;;) {
        if (takeTask(index, task)) {
            task(index);
            task = nullptr;
            finishTask();
            continue;
        }
        std::unique_lock lock(sleepMutex_);
        sleepers_.fetch_add(1);
        workArrived_.wait(lock, [this] { return stopping_ || queued_.load() > 0; });
        sleepers_.fetch_sub(1);
        if (stopping_ && queued_.load() == 0) return;
    }
}

}  // namespace quillby
