// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <memory>

#include "memory/ClearMemory.h"
#include "monitor/AppDelegate.h"
#include "monitor/VolumesInfo.h"
#include "monitor/VolumesManager.h"
#include "platform/MemorySource.h"
#include "platform/linux/LinuxProcessLauncher.h"

using namespace quillby;

// 8 GiB of memory, 2 GiB of it free.
struct FixedMemory : MemorySource {
    int sample(MemoryCounts& counts) override {
        counts.total = 8ull << 30;
        counts.free = 2ull << 30;
        return 0;
    }
};

// The agent's services over test volumes, ejector and file viewer, with fixed memory figures.
inline AppDelegate::Services agentServices(std::shared_ptr<VolumeSource> source,
                                           std::shared_ptr<VolumeEjector> ejector,
                                           std::shared_ptr<FileViewer> viewer) {
    AppDelegate::Services services;
    services.volumes = std::make_shared<VolumesInfo>(source);
    services.manager = std::make_shared<VolumesManager>(source, ejector, viewer);
    services.makeClearMemory = [] {
        return std::make_unique<ClearMemory>(std::make_shared<FixedMemory>(),
                                             std::make_shared<LinuxProcessLauncher>(),
                                             PurgeTools{});
    };
    return services;
}
