// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/work/MainQueue.h"

#include <mutex>
#include <set>

namespace quillby {

namespace {

thread_local MainQueue* tCurrentQueue = nullptr;

// The queues that exist, so that work finishing after its queue went is dropped instead of
// posted into a destroyed object. Never destroyed: detached threads may still ask at exit.
struct LiveQueues {
    std::mutex mutex;
    std::set<const MainQueue*> queues;
};

LiveQueues& liveQueues() {
    static auto* live = new LiveQueues;
    return *live;
}

}  // namespace

MainQueue* MainQueue::current() {
    return tCurrentQueue;
}

bool MainQueue::postIfAlive(MainQueue* queue, std::function<void()> task) {
    auto& live = liveQueues();
    std::lock_guard lock(live.mutex);
    if (!queue || !live.queues.count(queue)) return false;
    queue->post(std::move(task));  // under the lock: the queue cannot go meanwhile
    return true;
}

void MainQueue::becomeCurrent() {
    outer_ = tCurrentQueue;
    tCurrentQueue = this;
    auto& live = liveQueues();
    std::lock_guard lock(live.mutex);
    live.queues.insert(this);
}

void MainQueue::resignCurrent() {
    auto& live = liveQueues();
    std::lock_guard lock(live.mutex);
    live.queues.erase(this);
    // The outer queue serves again, unless it went first.
    if (tCurrentQueue == this) tCurrentQueue = live.queues.count(outer_) ? outer_ : nullptr;
}

}  // namespace quillby
