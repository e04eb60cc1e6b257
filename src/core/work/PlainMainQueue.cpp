// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/work/PlainMainQueue.h"

#include <future>

namespace quillby {

PlainMainQueue::PlainMainQueue() : owner_(std::this_thread::get_id()) {
    becomeCurrent();
}

PlainMainQueue::~PlainMainQueue() {
    resignCurrent();
}

void PlainMainQueue::post(std::function<void()> task) {
    // Notified under the lock: once the owner has run the task it may destroy the queue, and a
    // notification after the unlock would then touch a destroyed condition variable.
    std::lock_guard lock(mutex_);
    tasks_.push_back(std::move(task));
    arrived_.notify_all();
}

void PlainMainQueue::invokeAndWait(std::function<void()> task) {
    if (isMainThread()) {
        task();
        return;
    }
    std::promise<void> done;
    auto finished = done.get_future();
    post([&] {
        task();
        done.set_value();
    });
    finished.wait();
}

bool PlainMainQueue::isMainThread() const {
    return std::this_thread::get_id() == owner_;
}

size_t PlainMainQueue::drain() {
    size_t count = 0;
    for (;;) {
        std::function<void()> task;
        {
            std::lock_guard lock(mutex_);
            if (tasks_.empty()) return count;
            task = std::move(tasks_.front());
            tasks_.pop_front();
        }
        task();
        ++count;
    }
}

bool PlainMainQueue::runUntil(const std::function<bool()>& done,
                              std::chrono::milliseconds timeout) {
    auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        drain();
        if (done()) return true;
        std::unique_lock lock(mutex_);
        if (tasks_.empty() &&
            !arrived_.wait_until(lock, deadline, [this] { return !tasks_.empty(); })) {
            lock.unlock();
            drain();
            return done();
        }
    }
}

}  // namespace quillby
