// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <any>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>

namespace quillby {

class MainQueue;

// Runs one job on a thread of its own and delivers the completion on the thread that started
// it, through that thread's MainQueue. The completion always follows the job. Work that must
// stop runs as a job of the job contract (BackgroundJob.h) instead, which carries a stop token.
class ThreadWorker : public std::enable_shared_from_this<ThreadWorker> {
  public:
    using Method = std::function<void(const std::any& argument)>;
    using MethodWithWorker = std::function<void(const std::any& argument, ThreadWorker& worker)>;
    // The completion receives an empty argument.
    using Completion = std::function<void(const std::any&)>;

    // Starts the job and returns the worker; returns nullptr, logging why, when the method is
    // empty (the target does not answer it). targetName and selectorName only name them in
    // that message. The completion goes to `queue`, by default the caller's current one.
    static std::shared_ptr<ThreadWorker> workOn(std::string_view targetName,
                                                std::string_view selectorName,
                                                MethodWithWorker method, std::any argument,
                                                Completion didEnd, MainQueue* queue = nullptr);
    static std::shared_ptr<ThreadWorker> workOn(std::string_view targetName,
                                                std::string_view selectorName, Method method,
                                                std::any argument, Completion didEnd,
                                                MainQueue* queue = nullptr);

    // True once the job has returned (the completion may still be on its way).
    bool finished() const;
    // Blocks until the job has returned.
    void waitUntilFinished();

  private:
    ThreadWorker(MethodWithWorker method, std::any argument, Completion didEnd, MainQueue* queue);
    void start();
    void runPrimaryTask();

    MethodWithWorker selector_;
    std::any argument_;
    Completion didEndSelector_;
    MainQueue* queue_;
    mutable std::mutex finishMutex_;
    std::condition_variable finishedCondition_;
    bool finished_ = false;
};

}  // namespace quillby
