// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/work/BackgroundJob.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

#include "core/work/MainQueue.h"

namespace quillby {

namespace {

// Progress faster than this is news nobody can read, and each push costs the GUI a repaint.
constexpr std::chrono::milliseconds kProgressInterval{100};

}  // namespace

// The owner's side; read and written on the owning thread only.
struct JobOwnerState {
    bool alive = true;
    int running = 0;
    std::function<void(bool)> busy;
    std::vector<std::weak_ptr<JobState>> jobs;
};

// One job, shared by its worker, its handle and the deliveries on their way.
struct JobState {
    std::stop_source stop;
    MainQueue* queue = nullptr;
    std::shared_ptr<JobOwnerState> owner;  // touched on the owning thread only
    JobOwner::ProgressHandler progress;    // called on the owning thread only

    std::mutex mutex;  // guards what follows, written by the worker
    std::condition_variable ended;
    bool workEnded = false;
    JobProgress latest;
    bool reported = false;
    bool pushPending = false;
    std::chrono::steady_clock::time_point lastPush{};

    // On the owning thread: hands the latest progress to the page.
    void deliverProgress() {
        JobProgress snapshot;
        {
            std::lock_guard lock(mutex);
            pushPending = false;
            if (!reported) return;
            snapshot = latest;
        }
        if (owner->alive && progress) progress(snapshot);
    }
};

JobContext::JobContext(std::stop_token stop, std::function<void(const JobProgress&)> onProgress)
    : stop_(std::move(stop)), onProgress_(std::move(onProgress)) {}

JobContext::JobContext(std::shared_ptr<JobState> job)
    : stop_(job->stop.get_token()), job_(std::move(job)) {}

void JobContext::report(const JobProgress& progress) {
    if (!job_) {
        if (onProgress_) onProgress_(progress);
        return;
    }
    auto now = std::chrono::steady_clock::now();
    {
        std::lock_guard lock(job_->mutex);
        job_->latest = progress;
        job_->reported = true;
        if (job_->pushPending || now - job_->lastPush < kProgressInterval) return;
        job_->pushPending = true;
        job_->lastPush = now;
    }
    MainQueue::postIfAlive(job_->queue, [job = job_] { job->deliverProgress(); });
}

void OwnerQueue::post(std::function<void()> task) const {
    MainQueue::postIfAlive(queue_, [owner = owner_, task = std::move(task)] {
        if (owner->alive) task();
    });
}

void Job::requestStop() {
    if (state_) state_->stop.request_stop();
}

bool Job::stopRequested() const {
    return state_ && state_->stop.stop_requested();
}

void Job::waitUntilWorkEnded() const {
    if (!state_) return;
    std::unique_lock lock(state_->mutex);
    state_->ended.wait(lock, [this] { return state_->workEnded; });
}

JobOwner::JobOwner(MainQueue* queue)
    : queue_(queue ? queue : MainQueue::current()), shared_(std::make_shared<JobOwnerState>()) {}

JobOwner::~JobOwner() {
    stopAll();
    shared_->alive = false;  // results still on their way find the owner gone
}

void JobOwner::stopAll() {
    for (auto& weak : shared_->jobs) {
        if (auto job = weak.lock()) job->stop.request_stop();
    }
}

int JobOwner::running() const {
    return shared_->running;
}

void JobOwner::setBusyHandler(std::function<void(bool)> handler) {
    shared_->busy = std::move(handler);
}

Job JobOwner::launch(std::function<void(JobContext&)> work, std::function<void()> done,
                     ProgressHandler progress) {
    auto state = std::make_shared<JobState>();
    state->queue = queue_;
    state->owner = shared_;
    state->progress = std::move(progress);
    auto& jobs = shared_->jobs;
    jobs.erase(std::remove_if(jobs.begin(), jobs.end(), [](auto& job) { return job.expired(); }),
               jobs.end());
    jobs.push_back(state);
    if (++shared_->running == 1 && shared_->busy) shared_->busy(true);
    std::thread([state, work = std::move(work), done = std::move(done)] {
        JobContext context(state);
        work(context);
        {
            std::lock_guard lock(state->mutex);
            state->workEnded = true;
        }
        state->ended.notify_all();
        MainQueue::postIfAlive(state->queue, [state, done] {
            auto& owner = *state->owner;
            if (!owner.alive) return;
            state->deliverProgress();
            done();
            if (--owner.running == 0 && owner.busy) owner.busy(false);
        });
    }).detach();
    return Job(state);
}

}  // namespace quillby
