// SPDX-License-Identifier: GPL-3.0-or-later
#include "monitor/UpdateChecker.h"

#include <algorithm>
#include <condition_variable>
#include <mutex>
#include <utility>

#include "core/events/Log.h"
#include "core/settings/SettingsKeys.h"
#include "core/settings/UserDefaults.h"
#include "core/work/MainQueue.h"

namespace quillby {

using Clock = std::chrono::system_clock;  // a daily check counts the hours a laptop slept too

// Everything the thread and the tasks it posts use, so that a thread still waiting for the
// service when the checker goes finds a stop flag instead of a destroyed checker.
struct UpdateChecker::Shared {
    std::shared_ptr<PackageUpdateService> service;
    MainQueue* queue = nullptr;

    // Main thread only.
    Announce announce;
    std::optional<bool> available;
    std::vector<std::function<void(bool)>> waiters;
    std::string announced;

    // Under `mutex`.
    std::mutex mutex;
    std::condition_variable changed;
    bool stopping = false;
    bool asking = false;  // the thread waits for the service
    bool enabled = false;
    std::chrono::seconds interval = kDefaultInterval;

    bool stopped() {
        std::lock_guard lock(mutex);
        return stopping;
    }

    // Runs `task` on the main thread unless the checker has gone by then.
    void onMain(std::function<void(Shared&)> task) {
        MainQueue::postIfAlive(queue, [weak = weakSelf, task = std::move(task)] {
            auto self = weak.lock();
            if (self && !self->stopped()) task(*self);
        });
    }
    std::weak_ptr<Shared> weakSelf;
};

UpdateChecker::UpdateChecker(std::shared_ptr<PackageUpdateService> service, MainQueue& queue,
                             Announce announce)
    : shared_(std::make_shared<Shared>()) {
    shared_->service = std::move(service);
    shared_->queue = &queue;
    shared_->announce = std::move(announce);
    shared_->weakSelf = shared_;
}

UpdateChecker::~UpdateChecker() {
    bool asking = false;
    {
        std::lock_guard lock(shared_->mutex);
        shared_->stopping = true;
        asking = shared_->asking;
    }
    shared_->changed.notify_all();
    if (!thread_.joinable()) return;
    // A request may take a while to time out; quitting must not wait for it.
    if (asking) {
        thread_.detach();
    } else {
        thread_.join();
    }
}

void UpdateChecker::start(std::chrono::milliseconds firstDelay) {
    if (thread_.joinable()) return;
    settingsChanged();
    shared_->asking = true;
    thread_ = std::thread([shared = shared_, firstDelay] {
        bool there = shared->service && shared->service->isRunning();
        shared->onMain([there](Shared& self) {
            self.available = there;
            for (auto& waiter : std::exchange(self.waiters, {})) waiter(there);
        });
        std::unique_lock lock(shared->mutex);
        shared->asking = false;
        if (!there) return;
        // Recomputed at every wake, so that a changed interval counts from the last check.
        const auto first = Clock::now() + firstDelay;
        std::optional<Clock::time_point> lastCheck;
        for (;;) {
            if (shared->stopping) return;
            if (!shared->enabled) {
                shared->changed.wait(lock);
                continue;
            }
            auto next = lastCheck ? *lastCheck + shared->interval : first;
            if (Clock::now() < next) {
                shared->changed.wait_until(lock, next);
                continue;
            }
            shared->asking = true;
            lock.unlock();
            checkFor(shared);
            lock.lock();
            shared->asking = false;
            lastCheck = Clock::now();
        }
    });
}

std::optional<bool> UpdateChecker::available() const {
    return shared_->available;
}

void UpdateChecker::whenAvailabilityKnown(std::function<void(bool)> then) {
    if (shared_->available) {
        then(*shared_->available);
    } else {
        shared_->waiters.push_back(std::move(then));
    }
}

void UpdateChecker::settingsChanged() {
    auto& settings = UserDefaults::standardUserDefaults();
    bool enabled = settings.boolForKey(SettingsKey::SUEnableAutomaticChecks);
    std::int64_t stored = settings.integerForKey(SettingsKey::SUScheduledCheckInterval);
    auto interval =
        stored > 0 ? std::max(std::chrono::seconds(stored), kShortestInterval) : kDefaultInterval;
    {
        std::lock_guard lock(shared_->mutex);
        shared_->enabled = enabled;
        shared_->interval = interval;
    }
    shared_->changed.notify_all();
}

bool UpdateChecker::scheduled() const {
    std::lock_guard lock(shared_->mutex);
    return shared_->available.value_or(false) && shared_->enabled;
}

std::chrono::seconds UpdateChecker::interval() const {
    std::lock_guard lock(shared_->mutex);
    return shared_->interval;
}

void UpdateChecker::check() {
    checkFor(shared_);
}

void UpdateChecker::checkFor(const std::shared_ptr<Shared>& shared) {
    PackageUpdateAnswer answer;
    if (shared->service) {
        answer = shared->service->newerVersion(kPackage);
    } else {
        answer.why = "no package service";
    }
    if (answer.state == PackageUpdateAnswer::State::Failed) {
        QWLog("update check: %s", answer.why.c_str());
        return;
    }
    if (answer.state != PackageUpdateAnswer::State::Newer) return;
    shared->onMain([version = answer.version](Shared& self) {
        if (version == self.announced) return;
        self.announced = version;
        if (self.announce) self.announce(version);
    });
}

std::optional<SoftwareTool> softwareToolFor(
    std::string_view desktop, const std::function<std::string(const std::string&)>& findProgram) {
    const SoftwareTool software{"Software", {"gnome-software", "--mode=updates"}};
    const SoftwareTool discover{"Discover", {"plasma-discover", "--mode", "Update"}};
    bool kde = desktop.find("KDE") != std::string_view::npos;
    for (const SoftwareTool* tool : {kde ? &discover : &software, kde ? &software : &discover}) {
        std::string path = findProgram(tool->command.front());
        if (path.empty()) continue;
        SoftwareTool found = *tool;
        found.command.front() = path;
        return found;
    }
    return std::nullopt;
}

std::vector<std::string> updateBalloonLines(const std::string& version,
                                            const std::optional<SoftwareTool>& tool) {
    return {"Quillby Pro " + version + " is available",
            tool ? "Click to open " + tool->title : "Update it with your package manager"};
}

}  // namespace quillby
