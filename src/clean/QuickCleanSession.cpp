// SPDX-License-Identifier: GPL-3.0-or-later
#include "clean/QuickCleanSession.h"

#include <algorithm>
#include <memory>
#include <mutex>

#include "clean/BrowseFolderOperation.h"
#include "core/events/EventBus.h"
#include "core/events/Events.h"

namespace quillby {

QuickCleanSession::QuickCleanSession(std::vector<CleanFolder> folders,
                                     DeleteFolderOperation::Options options)
    : folders_(std::move(folders)), options_(std::move(options)) {
    queue_.setMaxConcurrentOperationCount(1);
}

TreeTotals QuickCleanSession::scan(const std::function<void(const std::string&)>& onFolder) {
    scanned_ = measure(onFolder, true);
    return scanned_;
}

TreeTotals QuickCleanSession::measure(const std::function<void(const std::string&)>& onFolder,
                                      bool stoppable) {
    auto& bus = EventBus::defaultCenter();
    TreeTotals totals;
    auto started = bus.observe(Events::ScanSingleFolder, [&](const Event& event) {
        if (auto* folder = userInfoValue<std::string>(event, EventKeys::FolderPath);
            folder && onFolder) {
            onFolder(*folder);
        }
    });
    auto finished = bus.observe(Events::ScanOperationFinish, [&](const Event& event) {
        if (auto* size = userInfoValue<std::uint64_t>(event, EventKeys::FolderSize))
            totals.bytes = *size;
        if (auto* count = userInfoValue<std::uint64_t>(event, EventKeys::FileCount))
            totals.entries = *count;
    });
    run(std::make_shared<BrowseFolderOperation>(folders_), stoppable);
    return totals;
}

QuickCleanResult QuickCleanSession::clean(
    const std::function<void(const JobProgress&)>& onProgress) {
    auto& bus = EventBus::defaultCenter();
    QuickCleanResult result;
    result.fileCount = scanned_.entries;
    result.totalSize = scanned_.bytes;
    // Entries deleted of those the scan found, and the item just deleted or failed.
    JobProgress progress;
    progress.total = scanned_.entries;
    auto report = [&](const Event& event, bool failed) {
        if (auto* path = userInfoValue<std::string>(event, EventKeys::FilePath)) {
            progress.currentPath = *path;
        }
        if (failed) {
            auto* listed = userInfoValue<std::vector<std::string>>(event, EventKeys::FailedPaths);
            auto* errors = userInfoValue<std::vector<int>>(event, EventKeys::FailedErrors);
            if (listed && errors && errors->size() == listed->size()) {
                for (std::size_t i = 0; i < listed->size(); ++i) {
                    result.failures.push_back(cleanFailureFor(-1, (*listed)[i], (*errors)[i]));
                }
            } else {
                auto* error = userInfoValue<int>(event, EventKeys::FailureError);
                result.failures.push_back(
                    cleanFailureFor(-1, progress.currentPath, error ? *error : 0));
            }
        } else if (auto* count = userInfoValue<std::uint64_t>(event, EventKeys::EntryCount)) {
            progress.done += *count;
        }
        if (onProgress) onProgress(progress);
    };
    {
        auto deleted = bus.observe(Events::DeleteFileSuccess,
                                   [&](const Event& event) { report(event, false); });
        auto failed =
            bus.observe(Events::DeleteFileFailed, [&](const Event& event) { report(event, true); });
        auto stopped =
            bus.observe(Events::FastCleanCanceled, [&](const Event&) { result.cancelled = true; });
        run(std::make_shared<DeleteFolderOperation>(folders_, options_), true);
    }
    {
        std::lock_guard lock(mutex_);
        if (cancelled_) result.cancelled = true;
    }
    TreeTotals left = measure({}, false);
    const TreeTotals& scannedBefore = scanned_;
    result.cleanedCount =
        scannedBefore.entries > left.entries ? scannedBefore.entries - left.entries : 0;
    result.cleanedSize = scannedBefore.bytes > left.bytes ? scannedBefore.bytes - left.bytes : 0;
    return result;
}

void QuickCleanSession::run(const std::shared_ptr<Operation>& operation, bool stoppable) {
    {
        std::lock_guard lock(mutex_);
        if (stoppable) {
            if (cancelled_) operation->cancel();
            stoppable_ = operation;
        }
    }
    queue_.addOperation(operation);
    queue_.waitUntilAllOperationsAreFinished();
    std::lock_guard lock(mutex_);
    stoppable_.reset();
}

void QuickCleanSession::cancel() {
    std::lock_guard lock(mutex_);
    cancelled_ = true;
    if (stoppable_) stoppable_->cancel();
}

}  // namespace quillby
