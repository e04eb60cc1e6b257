// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <atomic>
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
class WatchMountUnmount {
  public:
    // Missing services come from the installed platform. With a main queue, events are posted
    // from that queue's thread; without one, from the watching thread.
    explicit WatchMountUnmount(std::shared_ptr<VolumeSource> source = nullptr,
                               std::unique_ptr<MountChangeNotifier> notifier = nullptr,
                               MainQueue* queue = MainQueue::current());
    ~WatchMountUnmount();
    WatchMountUnmount(const WatchMountUnmount&) = delete;
    WatchMountUnmount& operator=(const WatchMountUnmount&) = delete;

    // Takes the current volumes as the known set and starts watching (once).
    void registerNotifications();
    // Compares the mounted volumes with the known set, posts one event per volume that came or
    // went, and keeps the new set.
    void checkForChanges();

    // Post the events for one volume.
    void mountedVolume(const MountedVolume& volume);
    void unmountedVolume(const MountedVolume& volume);

  private:
    struct Shared;
    std::shared_ptr<Shared> shared_;
    std::unique_ptr<MountChangeNotifier> notifier_;
    MainQueue* queue_;
    std::thread thread_;
};

}  // namespace quillby
