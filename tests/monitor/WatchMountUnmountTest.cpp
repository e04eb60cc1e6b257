// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>
#include <sys/mount.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <fstream>
#include <sstream>
#include <thread>

#include "core/events/EventBus.h"
#include "core/events/Events.h"
#include "core/work/PlainMainQueue.h"
#include "monitor/FakeVolumes.h"
#include "monitor/WatchMountUnmount.h"
#include "platform/linux/LinuxMountChangeNotifier.h"
#include "platform/linux/MountInfo.h"
#include "support/ChildProcess.h"
#include "support/TempDir.h"

using namespace quillby;

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

// A notifier the test triggers by hand.
struct ManualNotifier : MountChangeNotifier {
    std::mutex mutex;
    std::condition_variable changed;
    int pending = 0;
    bool stopped = false;
    // Waits for ever, or not at all: the test's notices are all there before it looks.
    bool waitForChange(int timeout) override {
        std::unique_lock lock(mutex);
        if (timeout < 0) changed.wait(lock, [&] { return pending > 0 || stopped; });
        if (stopped || pending == 0) return false;
        --pending;
        return true;
    }
    void stop() override {
        std::lock_guard lock(mutex);
        stopped = true;
        changed.notify_all();
    }
    void trigger(int notices = 1) {
        std::lock_guard lock(mutex);
        pending += notices;
        changed.notify_all();
    }
};

// Collects the volume events of the default centre, from any thread.
struct VolumeEvents {
    std::mutex mutex;
    std::condition_variable arrived;
    std::vector<std::string> seen;  // "mount NAME" / "unmount NAME"
    Subscription mounts = EventBus::defaultCenter().observe(
        Events::QWVolumeMount, [this](const Event& event) { record("mount", event); });
    Subscription unmounts = EventBus::defaultCenter().observe(
        Events::QWVolumeUnmount, [this](const Event& event) { record("unmount", event); });

    void record(const char* what, const Event& event) {
        const auto* name =
            userInfoValue<std::string>(event, EventKeys::NSWorkspaceVolumeLocalizedNameKey);
        std::lock_guard lock(mutex);
        seen.push_back(std::string(what) + " " + (name ? *name : "?"));
        arrived.notify_all();
    }
    bool waitFor(const std::string& entry, std::chrono::milliseconds timeout = 10s) {
        std::unique_lock lock(mutex);
        return arrived.wait_for(lock, timeout, [&] {
            return std::find(seen.begin(), seen.end(), entry) != seen.end();
        });
    }
};

// Every mount under one folder counts as a volume: the test's own tmpfs mounts, read from the
// real mount table of the test's mount namespace.
struct MountsUnderFolder : VolumeSource {
    std::string folder;
    std::atomic<int> enumerations{0};  // finished reading the table
    std::vector<VolumeFacts> mountedVolumes() override {
        std::ifstream input("/proc/self/mountinfo");
        std::stringstream text;
        text << input.rdbuf();
        ++enumerations;  // the table is read
        std::vector<VolumeFacts> volumes;
        for (const auto& entry : parseMountInfo(text.str())) {
            if (!entry.mountPoint.starts_with(folder + "/")) continue;
            volumes.push_back(facts(entry.mountId, entry.mountPoint));
        }
        return volumes;
    }
};

}  // namespace

// The volumes are enumerated on the watching thread, once per burst of notices; the list and the
// events reach the main queue.
TEST(WatchMountUnmount, OneEnumerationPerBurstPostsOneEventPerVolumeThatCameOrWent) {
    auto source = std::make_shared<FakeVolumeSource>();
    source->set({facts(1, "/"), facts(2, "/media/Old Disk")});
    auto notifier = std::make_unique<ManualNotifier>();
    ManualNotifier* trigger = notifier.get();
    PlainMainQueue queue;
    VolumeEvents events;
    std::vector<std::any> objects;
    auto objectOf = EventBus::defaultCenter().observe(
        Events::QWVolumeMount, [&](const Event& event) { objects.push_back(event.object); });
    std::vector<std::string> handed;
    {
        WatchMountUnmount watcher(source, std::move(notifier), &queue);
        watcher.setListHandler([&](const std::vector<VolumeFacts>& list) {
            handed.push_back(list.back().name + (queue.isMainThread() ? " on main" : ""));
        });
        watcher.registerNotifications();
        while (source->callCount() == 0) std::this_thread::sleep_for(1ms);  // the known set
        EXPECT_TRUE(source->listedOffThisThread());

        // One volume swapped for another keeps the count but still gives two events.
        source->set({facts(1, "/"), facts(3, "/media/New Disk")});
        trigger->trigger(3);
        ASSERT_TRUE(queue.runUntil([&] { return events.seen.size() == 2; }, 10s));
        EXPECT_EQ(events.seen, (std::vector<std::string>{"unmount Old Disk", "mount New Disk"}));
        EXPECT_EQ(handed, std::vector<std::string>{"New Disk on main"});
        EXPECT_EQ(source->callCount(), 2);
        ASSERT_EQ(objects.size(), 1u);
        EXPECT_EQ(std::any_cast<WatchMountUnmount*>(objects[0]), &watcher);

        // A change notice with nothing changed posts nothing.
        trigger->trigger();
        queue.runUntil([] { return false; }, 200ms);
        EXPECT_EQ(events.seen.size(), 2u);
    }
    // A notice queued after the watcher is gone is dropped safely.
    queue.drain();
}

TEST(WatchMountUnmount, SeesATmpfsMountedAndUnmountedInAPrivateNamespace) {
    TempDir dir;
    fs::path point = dir / "point";
    fs::create_directories(point);
    int status = inPrivateMountNamespace([&] {
        auto source = std::make_shared<MountsUnderFolder>();
        source->folder = dir.path().string();
        VolumeEvents events;
        WatchMountUnmount watcher(
            source, std::make_unique<LinuxMountChangeNotifier>("/proc/self/mountinfo"), nullptr);
        watcher.registerNotifications();
        // What is mounted before the watching thread took its known set is not a change.
        while (source->enumerations == 0) std::this_thread::sleep_for(1ms);
        if (::mount("quillby-test", point.c_str(), "tmpfs", 0, "size=64k") != 0) {
            ::_exit(kNoMountNamespace);  // mounting is not allowed here
        }
        return events.waitFor("mount point") && ::umount(point.c_str()) == 0 &&
               events.waitFor("unmount point");
    });
    if (status == kNoMountNamespace) GTEST_SKIP() << "no private namespace to mount in here";
    EXPECT_EQ(status, 0) << "the mount or the unmount was not seen";
}
