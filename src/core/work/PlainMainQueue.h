// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

#include "core/work/MainQueue.h"

namespace quillby {

// A main queue without an event loop: tasks posted from any thread wait until the owning thread
// drains them. The thread that creates it is its main thread.
class PlainMainQueue final : public MainQueue {
  public:
    PlainMainQueue();
    ~PlainMainQueue() override;

    void post(std::function<void()> task) override;
    void invokeAndWait(std::function<void()> task) override;
    bool isMainThread() const override;

    // Runs every task queued so far (and those they queue). Returns how many ran.
    size_t drain();
    // Runs tasks as they arrive until done() is true or the timeout passes; true when done.
    bool runUntil(const std::function<bool()>& done,
                  std::chrono::milliseconds timeout = std::chrono::seconds(30));

  private:
    std::thread::id owner_;
    std::mutex mutex_;
    std::condition_variable arrived_;
    std::deque<std::function<void()>> tasks_;
};

}  // namespace quillby
