#include "duplicates/WorkerPool.h"

#include <algorithm>
#include <atomic>

WorkerPool::WorkerPool(unsigned threadCount) {
    if (threadCount == 0) threadCount = 1;
    threads_.reserve(threadCount);
    for (unsigned i = 0; i < threadCount; ++i) threads_.emplace_back([this, i] { run(i); });
}

WorkerPool::~WorkerPool() {
    waitUntilIdle();
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    taskArrived_.notify_all();
    for (auto& thread : threads_) thread.join();
}

void WorkerPool::submit(Task task) {
    {
        std::lock_guard lock(mutex_);
        tasks_.push_back(std::move(task));
    }
    taskArrived_.notify_one();
}

void WorkerPool::waitUntilIdle() {
    std::unique_lock lock(mutex_);
    idle_.wait(lock, [this] { return tasks_.empty() && running_ == 0; });
}

void WorkerPool::forEachIndex(std::size_t count,
                              const std::function<void(unsigned, std::size_t)>& body) {
    std::atomic<std::size_t> next{0};
    for (unsigned i = 0; i < threadCount(); ++i) {
        submit([&](unsigned worker) {
            for (std::size_t index = next.fetch_add(1); index < count; index = next.fetch_add(1)) {
                body(worker, index);
            }
        });
    }
    waitUntilIdle();
}

unsigned WorkerPool::machineThreadCount() {
    unsigned cores = std::thread::hardware_concurrency();
    return cores == 0 ? 1 : cores;
}

unsigned WorkerPool::readingThreadCount() {
    return std::clamp(2 * machineThreadCount(), 8u, 32u);
}

void WorkerPool::run(unsigned worker) {
    std::unique_lock lock(mutex_);
    for (;;) {
        taskArrived_.wait(lock, [this] { return stopping_ || !tasks_.empty(); });
        if (tasks_.empty()) return;  // stopping
        Task task = std::move(tasks_.back());
        tasks_.pop_back();
        ++running_;
        lock.unlock();
        task(worker);
        lock.lock();
        --running_;
        if (tasks_.empty() && running_ == 0) idle_.notify_all();
    }
}
