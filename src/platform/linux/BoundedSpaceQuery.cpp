// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/linux/BoundedSpaceQuery.h"

#include <condition_variable>
#include <mutex>
#include <thread>

#include "core/events/Log.h"

namespace quillby {

// Shared with the query threads, which may outlive the caller when a server never answers.
struct BoundedSpaceQuery::State {
    struct MountPoint {
        bool pending = false;
        std::optional<VolumeSpace> last;
    };
    std::mutex mutex;
    std::condition_variable answered;
    std::map<std::string, MountPoint> mountPoints;
};

BoundedSpaceQuery::BoundedSpaceQuery(LinuxVolumeSource::SpaceQuery query,
                                     std::chrono::milliseconds deadline)
    : query_(std::move(query)), deadline_(deadline), state_(std::make_shared<State>()) {}

std::optional<VolumeSpace> BoundedSpaceQuery::operator()(const std::string& mountPoint) {
    std::unique_lock lock(state_->mutex);
    auto& known = state_->mountPoints[mountPoint];
    if (known.pending) return known.last;  // still waiting for the server
    known.pending = true;
    std::thread([state = state_, query = query_, mountPoint] {
        auto space = query(mountPoint);
        std::lock_guard guard(state->mutex);
        auto& entry = state->mountPoints[mountPoint];
        if (space) entry.last = space;
        entry.pending = false;
        state->answered.notify_all();
    }).detach();
    bool inTime = state_->answered.wait_for(
        lock, deadline_, [&] { return !state_->mountPoints[mountPoint].pending; });
    if (!inTime) QWLog("%s does not answer; showing its last known figures", mountPoint.c_str());
    return state_->mountPoints[mountPoint].last;
}

}  // namespace quillby
