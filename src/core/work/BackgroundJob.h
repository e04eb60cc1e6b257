// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <algorithm>
#include <cstdint>
#include <functional>
#include <memory>
#include <stop_token>
#include <string>

namespace quillby {

class MainQueue;

// What a long task has done so far, in the one shape every page shows.
struct JobProgress {
    std::uint64_t done = 0;   // items done
    std::uint64_t total = 0;  // items in all; 0 while unknown
    std::uint64_t bytes = 0;  // bytes done
    std::string currentPath;  // what it works on now

    // The part done, from 0 to 1; negative while the total is unknown.
    double fraction() const {
        return total == 0 ? -1.0 : static_cast<double>(done) / static_cast<double>(total);
    }
    // The part done in percent, at most 100 (a count may pass an estimated total); 0 while the
    // total is unknown.
    double percent() const { return total == 0 ? 0.0 : std::min(100.0, 100.0 * fraction()); }
};

struct JobState;
struct JobOwnerState;

// The worker's side of a job: the stop request to read between steps and where to report
// progress. A context without a job (the command line's, a test's) reports to a callback.
class JobContext {
  public:
    explicit JobContext(std::stop_token stop = {},
                        std::function<void(const JobProgress&)> onProgress = {});
    explicit JobContext(std::shared_ptr<JobState> job);

    const std::stop_token& stopToken() const { return stop_; }
    bool stopRequested() const { return stop_.stop_requested(); }
    // Records the progress; the page receives the latest at most ten times a second, and the
    // last one before the result.
    void report(const JobProgress& progress);

  private:
    std::stop_token stop_;
    std::shared_ptr<JobState> job_;
    std::function<void(const JobProgress&)> onProgress_;
};

// A running job as its starter sees it.
class Job {
  public:
    explicit Job(std::shared_ptr<JobState> state) : state_(std::move(state)) {}
    // Asks the work to stop; it ends at its next look at the stop token.
    void requestStop();
    bool stopRequested() const;
    // Blocks until the work has returned (its result may still be on its way). For an owner
    // whose work reads the owner itself, before it goes.
    void waitUntilWorkEnded() const;

  private:
    std::shared_ptr<JobState> state_;
};

// The owner's way back to its thread for news that does not come from one of its jobs (a worker
// of another part reporting through an observed value): tasks posted through it run on the
// owning thread while the owner lives and are dropped once it is gone. Get it on the owning
// thread; its copies may post from any thread.
class OwnerQueue {
  public:
    void post(std::function<void()> task) const;

  private:
    friend class JobOwner;
    OwnerQueue(MainQueue* queue, std::shared_ptr<JobOwnerState> owner)
        : queue_(queue), owner_(std::move(owner)) {}

    MainQueue* queue_;
    std::shared_ptr<JobOwnerState> owner_;
};

// The one contract for long work (a page's scans, searches, cleans, removals, imports; an
// engine's wait for rights): the work runs on a thread of its own with a stop token and a
// progress channel; its progress and its result reach the thread that owns the page or engine
// through that thread's main queue. The owner is the liveness token: once it is destroyed,
// results still on their way are dropped and running work is asked to stop. Start jobs and
// destroy the owner on the owning thread only.
class JobOwner {
  public:
    using ProgressHandler = std::function<void(const JobProgress&)>;

    // Results go to `queue`, by default the calling thread's current one.
    explicit JobOwner(MainQueue* queue = nullptr);
    ~JobOwner();
    JobOwner(const JobOwner&) = delete;
    JobOwner& operator=(const JobOwner&) = delete;

    // Runs `work` on a worker, then `done(result)` on the owning thread; `progress` receives
    // its reports there.
    template <class Result>
    Job start(std::function<Result(JobContext&)> work, std::function<void(Result)> done,
              ProgressHandler progress = {}) {
        auto result = std::make_shared<Result>();
        return launch([work = std::move(work), result](JobContext& job) { *result = work(job); },
                      [done = std::move(done), result] { done(std::move(*result)); },
                      std::move(progress));
    }
    Job start(std::function<void(JobContext&)> work, std::function<void()> done,
              ProgressHandler progress = {}) {
        return launch(std::move(work), std::move(done), std::move(progress));
    }

    // Where tasks for the owning thread go that must be dropped once the owner is gone.
    OwnerQueue queue() const { return OwnerQueue(queue_, shared_); }
    // Asks every running job to stop.
    void stopAll();
    // Jobs whose result has not been handled yet.
    int running() const;
    // Told on the owning thread when the first job starts (true) and the last one ends (false).
    void setBusyHandler(std::function<void(bool)> handler);

  private:
    Job launch(std::function<void(JobContext&)> work, std::function<void()> done,
               ProgressHandler progress);

    MainQueue* queue_;
    std::shared_ptr<JobOwnerState> shared_;
};

}  // namespace quillby
