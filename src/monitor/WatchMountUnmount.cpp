// SPDX-License-Identifier: GPL-3.0-or-later
#include "monitor/WatchMountUnmount.h"

#include <algorithm>

#include "core/events/EventBus.h"
#include "core/events/Events.h"
#include "core/events/Log.h"
#include "monitor/VolumesInfo.h"
#include "platform/Services.h"

namespace quillby {

// What queued work needs; it outlives the watcher so that a late task finds it switched off.
struct WatchMountUnmount::Shared {
    std::mutex mutex;
    WatchMountUnmount* owner = nullptr;  // null once the watcher is gone
    std::shared_ptr<VolumeSource> source;
    std::vector<MountedVolume> known;  // the watching thread's only
};

namespace {

void postVolumeEvent(const char* name, WatchMountUnmount* watcher, const MountedVolume& volume) {
    UserInfo info{{EventKeys::NSWorkspaceVolumeLocalizedNameKey, volume.volumeName},
                  {kVolumeRootPathKey, volume.volRootDir}};
    EventBus::defaultCenter().post(name, watcher, std::move(info));
}

std::vector<MountedVolume> recordsOf(const std::vector<VolumeFacts>& facts) {
    std::vector<MountedVolume> records;
    for (const auto& volume : facts) records.push_back(VolumesInfo::makeRecord(volume));
    return records;
}

bool listsVolume(const std::vector<MountedVolume>& volumes, std::int32_t refNumber) {
    return std::any_of(volumes.begin(), volumes.end(), [refNumber](const auto& volume) {
        return volume.volRefNumber == refNumber;
    });
}

}  // namespace

WatchMountUnmount::WatchMountUnmount(std::shared_ptr<VolumeSource> source,
                                     std::unique_ptr<MountChangeNotifier> notifier,
                                     MainQueue* queue)
    : shared_(std::make_shared<Shared>()), notifier_(std::move(notifier)), queue_(queue) {
    shared_->owner = this;
    shared_->source = source ? std::move(source) : Services::get<VolumeSource>();
    if (!notifier_) {
        if (auto factory = Services::get<MountChangeNotifierFactory>()) notifier_ = (*factory)();
    }
}

WatchMountUnmount::~WatchMountUnmount() {
    {
        std::lock_guard lock(shared_->mutex);
        shared_->owner = nullptr;
    }
    if (notifier_) notifier_->stop();
    if (thread_.joinable()) thread_.join();
}

void WatchMountUnmount::registerNotifications() {
    if (thread_.joinable()) return;
    if (!notifier_) {
        QWLog("Mount and unmount notices are not available");
        return;
    }
    thread_ = std::thread([this, weak = std::weak_ptr<Shared>(shared_)] { watch(weak); });
}

void WatchMountUnmount::watch(std::weak_ptr<Shared> weak) {
    // The notifier was opened before this snapshot, so no change between the two is lost.
    shared_->known = recordsOf(listedVolumes(shared_->source));
    while (notifier_->waitForChange(-1)) {
        while (notifier_->waitForChange(kBurstMs)) {
        }
        {
            std::lock_guard lock(shared_->mutex);
            if (!shared_->owner) return;  // stopped during the burst
        }
        std::vector<VolumeFacts> facts = listedVolumes(shared_->source);
        std::vector<MountedVolume> current = recordsOf(facts);
        std::vector<MountedVolume> went, came;
        for (const auto& volume : shared_->known) {
            if (!listsVolume(current, volume.volRefNumber)) went.push_back(volume);
        }
        for (const auto& volume : current) {
            if (!listsVolume(shared_->known, volume.volRefNumber)) came.push_back(volume);
        }
        shared_->known = std::move(current);
        if (went.empty() && came.empty()) continue;
        auto deliver = [weak, facts = std::move(facts), went = std::move(went),
                        came = std::move(came)] {
            auto shared = weak.lock();
            if (!shared) return;
            std::lock_guard lock(shared->mutex);
            WatchMountUnmount* owner = shared->owner;
            if (!owner) return;
            if (owner->listHandler_) owner->listHandler_(facts);
            for (const auto& volume : went) owner->unmountedVolume(volume);
            for (const auto& volume : came) owner->mountedVolume(volume);
        };
        if (queue_) {
            queue_->post(std::move(deliver));
        } else {
            deliver();
        }
    }
}

void WatchMountUnmount::mountedVolume(const MountedVolume& volume) {
    postVolumeEvent(Events::QWVolumeMount, this, volume);
}

void WatchMountUnmount::unmountedVolume(const MountedVolume& volume) {
    postVolumeEvent(Events::QWVolumeUnmount, this, volume);
}

}  // namespace quillby
