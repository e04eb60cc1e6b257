// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/work/ThreadWorker.h"

#include <string>
#include <thread>

#include "core/events/Log.h"
#include "core/work/MainQueue.h"

namespace quillby {

ThreadWorker::ThreadWorker(MethodWithWorker method, std::any argument, Completion didEnd,
                           MainQueue* queue)
    : selector_(std::move(method)),
      argument_(std::move(argument)),
      didEndSelector_(std::move(didEnd)),
      queue_(queue) {}

std::shared_ptr<ThreadWorker> ThreadWorker::workOn(std::string_view targetName,
                                                   std::string_view selectorName,
                                                   MethodWithWorker method, std::any argument,
                                                   Completion didEnd, MainQueue* queue) {
    if (!method) {
        QWLog("\nThreadWorker reports: Target %s does not respond to selector %s.",
              std::string(targetName).c_str(), std::string(selectorName).c_str());
        return nullptr;
    }
    if (!queue) queue = MainQueue::current();
    std::shared_ptr<ThreadWorker> worker(
        new ThreadWorker(std::move(method), std::move(argument), std::move(didEnd), queue));
    worker->start();
    return worker;
}

std::shared_ptr<ThreadWorker> ThreadWorker::workOn(std::string_view targetName,
                                                   std::string_view selectorName, Method method,
                                                   std::any argument, Completion didEnd,
                                                   MainQueue* queue) {
    MethodWithWorker adapted;
    if (method) {
        adapted = [method = std::move(method)](const std::any& arg, ThreadWorker&) { method(arg); };
    }
    return workOn(targetName, selectorName, std::move(adapted), std::move(argument),
                  std::move(didEnd), queue);
}

void ThreadWorker::start() {
    // The thread keeps the worker alive until the completion has been handed over.
    std::thread([self = shared_from_this()] { self->runPrimaryTask(); }).detach();
}

void ThreadWorker::runPrimaryTask() {
    selector_(argument_, *this);
    {
        std::lock_guard lock(finishMutex_);
        finished_ = true;
    }
    finishedCondition_.notify_all();
    if (!didEndSelector_) return;
    if (queue_) {
        // A queue destroyed meanwhile took its program part with it: nobody waits any more.
        MainQueue::postIfAlive(queue_,
                               [self = shared_from_this()] { self->didEndSelector_(std::any{}); });
    } else {
        QWLog("ThreadWorker: no main queue on the starting thread; completing on the worker");
        didEndSelector_(std::any{});
    }
}

bool ThreadWorker::finished() const {
    std::lock_guard lock(finishMutex_);
    return finished_;
}

void ThreadWorker::waitUntilFinished() {
    std::unique_lock lock(finishMutex_);
    finishedCondition_.wait(lock, [this] { return finished_; });
}

}  // namespace quillby
