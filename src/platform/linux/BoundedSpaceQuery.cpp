// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/linux/BoundedSpaceQuery.h"

#include <condition_variable>
#include <mutex>
#include <set>
#include <thread>

#include "core/events/Log.h"

namespace quillby {

// Shared with the query threads, which may outlive the caller when a server never answers.
struct BoundedSpaceQuery::State {
    struct MountPoint {
        bool pending = false;
        bool answered = false;  // the last query returned figures
        std::optional<VolumeSpace> last;
    };
    std::mutex mutex;
    std::condition_variable answered;
    std::map<std::string, MountPoint> mountPoints;
};

BoundedSpaceQuery::BoundedSpaceQuery(LinuxVolumeSource::SpaceQuery query)
    : query_(std::move(query)), state_(std::make_shared<State>()) {}

std::map<std::string, std::optional<VolumeSpace>> BoundedSpaceQuery::operator()(
    const std::vector<std::string>& mountPoints, std::chrono::milliseconds deadline) {
    std::unique_lock lock(state_->mutex);
    // Mount points gone from the table are forgotten, unless their query still runs.
    std::set<std::string> asked(mountPoints.begin(), mountPoints.end());
    std::erase_if(state_->mountPoints, [&](const auto& entry) {
        return !entry.second.pending && !asked.count(entry.first);
    });
    std::vector<std::string> started;
    for (const auto& mountPoint : asked) {
        auto& known = state_->mountPoints[mountPoint];
        if (known.pending) continue;  // the server has not answered the last question yet
        known.pending = true;
        started.push_back(mountPoint);
        std::thread([state = state_, query = query_, mountPoint] {
            auto space = query(mountPoint);
            std::lock_guard guard(state->mutex);
            auto& entry = state->mountPoints[mountPoint];
            entry.answered = space.has_value();
            if (space) entry.last = space;
            entry.pending = false;
            state->answered.notify_all();
        }).detach();
    }
    state_->answered.wait_for(lock, deadline, [&] {
        for (const auto& mountPoint : started) {
            if (state_->mountPoints[mountPoint].pending) return false;
        }
        return true;
    });
    for (const auto& mountPoint : started) {
        if (state_->mountPoints[mountPoint].pending)
            QWLog("%s does not answer; showing its last known figures", mountPoint.c_str());
    }
    std::map<std::string, std::optional<VolumeSpace>> figures;
    for (const auto& mountPoint : asked) {
        const auto& known = state_->mountPoints[mountPoint];
        auto space = known.last;
        if (space) space->stale = known.pending || !known.answered;
        figures[mountPoint] = space;
    }
    return figures;
}

}  // namespace quillby
