// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "core/work/MainQueue.h"
#include "monitor/MountedVolume.h"
#include "platform/MountChangeNotifier.h"
#include "platform/VolumeSource.h"

namespace quillby {

// The root path of the volume, carried beside its display name.
inline constexpr const char* kVolumeRootPathKey = "NSDevicePath";

// Turns mount-table changes into the program's own events: "QWVolumeMount" and
// "QWVolumeUnmount" on the default event centre, with the watcher as object and the volume's
// display name under "NSWorkspaceVolumeLocalizedNameKey" (its root path under "NSDevicePath").
// The volumes are enumerated on the watching thread, once per burst of notices (mounting a disk
// with several partitions, a remount), never on the main thread.
class WatchMountUnmount {
  public:
    // Further notices within this time of the last one belong to the same burst.
    static constexpr int kBurstMs = 50;

    // Missing services come from the installed platform. With a main queue, events are posted
    // from that queue's thread; without one, from the watching thread.
    explicit WatchMountUnmount(std::shared_ptr<VolumeSource> source = nullptr,
                               std::unique_ptr<MountChangeNotifier> notifier = nullptr,
                               MainQueue* queue = MainQueue::current());
    ~WatchMountUnmount();
    WatchMountUnmount(const WatchMountUnmount&) = delete;
    WatchMountUnmount& operator=(const WatchMountUnmount&) = delete;

    // Starts watching (once): the watching thread takes the current volumes as the known set,
    // then, after each burst of notices, enumerates once, posts one event per volume that came
    // or went, and keeps the new set.
    void registerNotifications();
    // Receives each enumeration made after a burst, before its events and on the same thread,
    // so that a listener shows the list the events speak of without enumerating again. Set it
    // before registerNotifications.
    void setListHandler(std::function<void(const std::vector<VolumeFacts>&)> handler) {
        listHandler_ = std::move(handler);
    }

    // Post the events for one volume.
    void mountedVolume(const MountedVolume& volume);
    void unmountedVolume(const MountedVolume& volume);

  private:
    struct Shared;
    void watch(std::weak_ptr<Shared> weak);

    std::shared_ptr<Shared> shared_;
    std::function<void(const std::vector<VolumeFacts>&)> listHandler_;
    std::unique_ptr<MountChangeNotifier> notifier_;
    MainQueue* queue_;
    std::thread thread_;
};

}  // namespace quillby
