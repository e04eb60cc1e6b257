#include "clean/QuickCleanSession.h"

#include <algorithm>
#include <memory>
#include <mutex>

#include "clean/BrowseFolderOperation.h"
#include "core/EventBus.h"
#include "core/Events.h"

QuickCleanSession::QuickCleanSession(std::vector<CleanFolder> folders,
                                     DeleteFolderOperation::Options options)
    : folders_(std::move(folders)), options_(std::move(options)) {
    queue_.setMaxConcurrentOperationCount(1);
}

TreeTotals QuickCleanSession::scan(const std::function<void(const std::string&)>& onFolder) {
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
    queue_.addOperation(std::make_shared<BrowseFolderOperation>(folders_));
    queue_.waitUntilAllOperationsAreFinished();
    scanned_ = totals;
    return totals;
}

QuickCleanResult QuickCleanSession::clean(
    const std::function<void(const QuickCleanProgress&)>& onProgress) {
    auto& bus = EventBus::defaultCenter();
    QuickCleanResult result;
    result.fileCount = scanned_.entries;
    result.totalSize = scanned_.bytes;
    QuickCleanProgress progress;
    progress.fileCount = scanned_.entries;
    auto report = [&](const Event& event, bool failed) {
        if (auto* path = userInfoValue<std::string>(event, EventKeys::FilePath)) {
            progress.curDeleteFile = *path;
        }
        if (failed) {
            auto* listed = userInfoValue<std::vector<std::string>>(event, EventKeys::FailedPaths);
            if (listed) {
                result.failedPaths.insert(result.failedPaths.end(), listed->begin(), listed->end());
            } else {
                result.failedPaths.push_back(progress.curDeleteFile);
            }
        } else if (auto* count = userInfoValue<std::uint64_t>(event, EventKeys::EntryCount)) {
            progress.deletedEntries += *count;
        }
        if (progress.fileCount > 0) {
            progress.progressVal = std::min(
                100.0, 100.0 * static_cast<double>(progress.deletedEntries) / progress.fileCount);
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
        queue_.addOperation(std::make_shared<DeleteFolderOperation>(folders_, options_));
        queue_.waitUntilAllOperationsAreFinished();
    }
    TreeTotals scannedBefore = scanned_;
    TreeTotals left = scan();
    scanned_ = scannedBefore;
    result.cleanedCount =
        scannedBefore.entries > left.entries ? scannedBefore.entries - left.entries : 0;
    result.cleanedSize = scannedBefore.bytes > left.bytes ? scannedBefore.bytes - left.bytes : 0;
    return result;
}

void QuickCleanSession::cancel() {
    queue_.cancelAllOperations();
}
