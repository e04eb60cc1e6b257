// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <condition_variable>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "platform/VolumeEjector.h"
#include "platform/VolumeSource.h"

using namespace quillby;

// A volume source that lists what the test puts in it, counts its enumerations and notes the
// thread of the last one; while held, enumerations wait for the test.
struct FakeVolumeSource : VolumeSource {
    std::mutex mutex;
    std::condition_variable released;
    std::vector<VolumeFacts> volumes;
    bool held = false;
    int calls = 0;
    std::thread::id calledOn;
    std::vector<VolumeFacts> mountedVolumes() override {
        std::unique_lock lock(mutex);
        ++calls;
        calledOn = std::this_thread::get_id();
        released.wait(lock, [this] { return !held; });
        return volumes;
    }
    void set(std::vector<VolumeFacts> list) {
        std::lock_guard lock(mutex);
        volumes = std::move(list);
    }
    void hold(bool on) {
        std::lock_guard lock(mutex);
        held = on;
        released.notify_all();
    }
    int callCount() {
        std::lock_guard lock(mutex);
        return calls;
    }
    bool listedOffThisThread() {
        std::lock_guard lock(mutex);
        return calls > 0 && calledOn != std::this_thread::get_id();
    }
};

// An ejector that records every request and fails for the chosen reference numbers.
struct FakeEjector : VolumeEjector {
    std::vector<std::int32_t> ejected;
    std::set<std::int32_t> failing;
    EjectResult ejectVolume(const VolumeFacts& volume) override {
        ejected.push_back(volume.referenceNumber);
        return failing.count(volume.referenceNumber) ? EjectResult::failed(16, "the disk is busy")
                                                     : EjectResult{};
    }
};

inline VolumeFacts facts(std::int32_t ref, const std::string& root, std::uint64_t total = 1000,
                         std::uint64_t free = 500) {
    VolumeFacts volume;
    volume.referenceNumber = ref;
    volume.rootPath = root;
    volume.name = root == "/" ? "/" : root.substr(root.rfind('/') + 1);
    volume.totalBytes = total;
    volume.freeBytes = free;
    return volume;
}
