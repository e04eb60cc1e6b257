// SPDX-License-Identifier: GPL-3.0-or-later
#include "clean/BrowseFolderOperation.h"

#include <cstdint>
#include <string>

#include "clean/CleanableEntries.h"
#include "core/events/EventBus.h"
#include "core/events/Events.h"
#include "core/events/Log.h"

namespace quillby {

BrowseFolderOperation::BrowseFolderOperation(std::vector<CleanFolder> rootPaths)
    : rootPaths_(std::move(rootPaths)) {}

void BrowseFolderOperation::main() {
    auto& bus = EventBus::defaultCenter();
    if (isCancelled()) {
        bus.post(Events::FastCleanCanceled);
        return;
    }
    std::uint64_t totalSize = 0;
    std::uint64_t fileCount = 0;
    for (const auto& root : rootPaths_) {
        if (isCancelled()) {
            bus.post(Events::FastCleanCanceled);
            return;
        }
        bus.post(Events::ScanSingleFolder, {}, {{EventKeys::FolderPath, root.path.string()}});
        QWLog("Scan folder: %s", root.path.c_str());
        CleanableEntries::forEach(root, [&](const CleanableEntry& entry) {
            if (isCancelled()) {
                bus.post(Events::FastCleanCanceled);
                return false;
            }
            if (entry.unreadable) return true;  // its size cannot be known without rights
            bool stopped = false;
            TreeTotals totals =
                CleanableEntries::measure(root, entry,
                                          {.shouldStop = [this] { return isCancelled(); },
                                           .stopAtEveryEntry = true,
                                           .threads = TreeMeasure::machineThreads()},
                                          &stopped);
            totalSize += totals.bytes;
            fileCount += totals.entries;
            if (stopped) bus.post(Events::FastCleanCanceled);
            return !stopped;
        });
    }
    bus.post(Events::ScanOperationFinish, {},
             {{EventKeys::FolderSize, totalSize}, {EventKeys::FileCount, fileCount}});
}

}  // namespace quillby
