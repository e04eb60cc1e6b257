// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/work/DeadlineCall.h"

#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

#include "core/work/MainQueue.h"

namespace quillby {

namespace {

struct Call {
    std::mutex mutex;
    std::condition_variable answered;
    bool finished = false;
    bool delivered = false;
    MainQueue* queue = nullptr;
    std::function<void(std::optional<bool>)> done;

    // Hands over the first answer only; the caller holds the mutex.
    void deliver(std::optional<bool> answer) {
        if (delivered) return;
        delivered = true;
        MainQueue::postIfAlive(queue, [done = std::move(done), answer] { done(answer); });
    }
};

}  // namespace

void callWithDeadline(MainQueue& queue, std::chrono::milliseconds deadline,
                      std::function<bool()> work, std::function<void(std::optional<bool>)> done) {
    auto call = std::make_shared<Call>();
    call->queue = &queue;
    call->done = std::move(done);
    std::thread([call, work = std::move(work)] {
        bool answer = work();
        std::lock_guard lock(call->mutex);
        call->finished = true;
        call->deliver(answer);
        call->answered.notify_all();
    }).detach();
    std::thread([call, deadline] {
        std::unique_lock lock(call->mutex);
        if (!call->answered.wait_for(lock, deadline, [&] { return call->finished; })) {
            call->deliver(std::nullopt);
        }
    }).detach();
}

}  // namespace quillby
