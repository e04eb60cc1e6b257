// SPDX-License-Identifier: GPL-3.0-or-later
#include "monitor/WatchMountUnmount.h"

#include <map>

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
    std::vector<MountedVolume> known;
};

namespace {

void postVolumeEvent(const char* name, WatchMountUnmount* watcher, const MountedVolume& volume) {
    UserInfo info{{EventKeys::NSWorkspaceVolumeLocalizedNameKey, volume.volumeName},
                  {kVolumeRootPathKey, volume.volRootDir}};
    EventBus::defaultCenter().post(name, watcher, std::move(info));
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
    // The notifier was opened before this snapshot, so no change between the two is lost.
    shared_->known = VolumesInfo(shared_->source).volsArray();
    if (!notifier_) {
        QWLog("Mount and unmount notices are not available");
        return;
    }
    std::weak_ptr<Shared> weak = shared_;
    thread_ = std::thread([this, weak] {
        while (notifier_->waitForChange(-1)) {
            auto check = [weak] {
                auto shared = weak.lock();
                if (!shared) return;
                std::lock_guard lock(shared->mutex);
                if (shared->owner) shared->owner->checkForChanges();
            };
            if (queue_) {
                queue_->post(check);
            } else {
                check();
            }
        }
    });
}

void WatchMountUnmount::checkForChanges() {
    std::vector<MountedVolume> current = VolumesInfo(shared_->source).volsArray();
    std::map<std::int32_t, const MountedVolume*> before, after;
    for (const auto& volume : shared_->known) before[volume.volRefNumber] = &volume;
    for (const auto& volume : current) after[volume.volRefNumber] = &volume;
    for (const auto& volume : shared_->known) {
        if (!after.count(volume.volRefNumber)) unmountedVolume(volume);
    }
    for (const auto& volume : current) {
        if (!before.count(volume.volRefNumber)) mountedVolume(volume);
    }
    shared_->known = std::move(current);
}

void WatchMountUnmount::mountedVolume(const MountedVolume& volume) {
    postVolumeEvent(Events::QWVolumeMount, this, volume);
}

void WatchMountUnmount::unmountedVolume(const MountedVolume& volume) {
    postVolumeEvent(Events::QWVolumeUnmount, this, volume);
}

}  // namespace quillby
