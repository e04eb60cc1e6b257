// SPDX-License-Identifier: GPL-3.0-or-later
#include "clean/CleanSysController.h"

#include "clean/CleanCategory.h"
#include "clean/CleanHistory.h"
#include "clean/CleanQuestion.h"
#include "clean/EnabledCleanCategories.h"
#include "core/events/EventBus.h"
#include "core/events/Events.h"
#include "core/text/LocalizedText.h"
#include "core/text/UtilityFunction.h"
#include "core/work/Asker.h"
#include "core/work/MainQueue.h"
#include "core/work/PrivilegedAuthorization.h"

namespace quillby {

namespace {

constexpr const char* kFailuresAlert = "Some items could not be deleted.";

}  // namespace

CleanSysController::CleanSysController(Options options)
    : options_(std::move(options)),
      retry_({.mainQueue = options_.mainQueue,
              .authorization = options_.deleteOptions.authorization
                                   ? options_.deleteOptions.authorization
                                   : &PrivilegedAuthorization::sharedAuthorization()}) {
    if (!options_.categories) options_.categories = enabledCleanCategories;
}

CleanSysController::~CleanSysController() {
    if (session_) session_->cancel();
    if (worker_.joinable()) worker_.join();
}

bool CleanSysController::resetStatus() {
    if (phase_ != Phase::Closed) return true;
    auto& bus = EventBus::defaultCenter();
    totalSize_ = fileCount_ = cleanedCount_ = cleanedSize_ = 0;
    progressVal_ = 0;
    cancelling_ = false;
    retry_.reset();
    failures_.clear();
    curDeleteFile_.clear();
    status_ = "Scanning system...";
    std::vector<int> categories = options_.categories();
    if (categories.empty()) {
        nothingToClean();
        return false;
    }
    phase_ = Phase::Scanning;
    bus.post(Events::refMenuItemWhenDeleteAndAdd);
    // Finding the folders reads the mount table and asks every volume for its trash: a slow
    // disk must not hold the window.
    startWorker([this, categories] {
        QuickCleanFolders found = QuickCleanFolders::of(categories, options_.folders);
        back_.post([this, found] { foldersFound(found); });
    });
    notify();
    return true;
}

void CleanSysController::nothingToClean() {
    if (showBubble) showBubble({localizedString("NO_FOLDER_CONTENT")}, false);
    EventBus::defaultCenter().post(Events::ShouldCloseWindow);
    EventBus::defaultCenter().post(Events::refMenuItemWhenDeleteAndAdd);
}

void CleanSysController::foldersFound(const QuickCleanFolders& found) {
    if (worker_.joinable()) worker_.join();
    run_ = found;
    if (cancelling_) {
        QuickCleanResult nothing;
        nothing.cancelled = true;
        cleanFinished(nothing);
        return;
    }
    if (run_.empty()) {
        phase_ = Phase::Closed;
        nothingToClean();
        notify();
        return;
    }
    session_ = std::make_unique<QuickCleanSession>(run_.folders, options_.deleteOptions);
    startWorker([this, session = session_.get()] {
        TreeTotals totals =
            session->scan([this](const std::string& folder) { publish(folder, 0); });
        back_.post([this, totals] { scanFinished(totals.entries, totals.bytes); });
    });
}

void CleanSysController::startWorker(std::function<void()> work) {
    if (worker_.joinable()) worker_.join();
    worker_ = std::thread(std::move(work));
}

void CleanSysController::publish(const std::string& path, double percent) {
    // Runs on the worker: one update waits on the main queue at a time, carrying the latest.
    std::lock_guard lock(progress_->mutex);
    progress_->path = path;
    progress_->percent = percent;
    if (progress_->posted) return;
    progress_->posted = true;
    back_.post([this] { showProgress(); });
}

void CleanSysController::showProgress() {
    {
        std::lock_guard lock(progress_->mutex);
        progress_->posted = false;
        curDeleteFile_ = progress_->path;
        if (phase_ == Phase::Deleting) progressVal_ = progress_->percent;
    }
    notify();
}

void CleanSysController::scanFinished(std::uint64_t entries, std::uint64_t bytes) {
    if (worker_.joinable()) worker_.join();
    fileCount_ = entries;
    totalSize_ = bytes;
    // Nothing is deleted unasked; Downloads never, even when the question is turned off.
    bool rescan = false;
    if (!cancelling_) {
        std::vector<CleanQuestion::Category> asked;
        for (int id : run_.categories) {
            if (asked.empty() || asked.back().id != id) asked.push_back({id, std::nullopt});
        }
        auto answer = options_.asker ? CleanQuestion::ask(*options_.asker, asked, bytes)
                                     : CleanQuestion::Answer::CleanWithoutDownloads;
        if (answer == CleanQuestion::Answer::Cancel) cancelling_ = true;
        if (answer == CleanQuestion::Answer::CleanWithoutDownloads && run_.hasDownloads()) {
            run_.dropDownloads();
            rescan = true;
        }
    }
    // Cancelled during the scan, or the window closed while the question was open.
    if (cancelling_ || run_.empty()) {
        QuickCleanResult nothing;
        nothing.cancelled = cancelling_;
        cleanFinished(nothing);
        return;
    }
    if (rescan) {
        session_ = std::make_unique<QuickCleanSession>(run_.folders, options_.deleteOptions);
    }
    startDeleting(rescan);
}

void CleanSysController::startDeleting(bool scanFirst) {
    phase_ = Phase::Deleting;
    status_ = "Deleting items...";
    progressVal_ = 0;
    startWorker([this, scanFirst, session = session_.get()] {
        if (scanFirst) session->scan([this](const std::string& folder) { publish(folder, 0); });
        QuickCleanResult result = session->clean([this](const JobProgress& progress) {
            publish(progress.currentPath, progress.percent());
        });
        recordFinishedClean(result.cleanedSize);
        back_.post([this, result] { cleanFinished(result); });
    });
    notify();
}

void CleanSysController::cleanFinished(const QuickCleanResult& result) {
    if (worker_.joinable()) worker_.join();
    phase_ = Phase::Closing;
    progressVal_ = 100;
    // A retry with rights cleans what the first pass left: its figures add to that pass's.
    bool retried = retry_.retried();
    if (!retried && (result.fileCount > 0 || result.totalSize > 0)) {
        fileCount_ = result.fileCount;
        totalSize_ = result.totalSize;
    }
    cleanedCount_ = (retried ? cleanedCount_ : 0) + result.cleanedCount;
    cleanedSize_ = (retried ? cleanedSize_ : 0) + result.cleanedSize;
    failures_ = run_.failuresOf(result.failures);
    status_ = result.cancelled ? "Cleaning stopped." : "Cleaning finished.";
    if (showBubble) showBubble(closingLines(), !failures_.empty());
    notify();
}

std::vector<std::string> CleanSysController::closingLines() const {
    std::vector<std::string> lines{
        localizedString("CLEAN_FILES_COUNT") + " " + std::to_string(cleanedCount_),
        localizedString("CLEAN_FILES_SIZE") + " " + UtilityFunction::convertVolSpace(cleanedSize_)};
    if (!failures_.empty()) {
        lines.push_back(std::to_string(failures_.size()) +
                        (failures_.size() == 1 ? " item" : " items") + " could not be deleted");
    }
    return lines;
}

void CleanSysController::cancel() {
    if (!canCancel()) return;
    cancelling_ = true;
    status_ = "Stopping...";
    if (session_) session_->cancel();
    notify();
}

void CleanSysController::close() {
    EventBus::defaultCenter().post(Events::ShouldCloseWindow);
}

void CleanSysController::showFailures() {
    if (!options_.asker || failures_.empty() || phase_ != Phase::Closing) return;
    retry_.offer(*options_.asker, kFailuresAlert, failures_, run_,
                 {.asking =
                      [this] {
                          phase_ = Phase::Deleting;
                          status_ = "Asking for administrator rights...";
                          notify();
                      },
                  .granted = [this](const std::vector<int>& categories) { cleanAgain(categories); },
                  .refused =
                      [this] {
                          phase_ = Phase::Closing;
                          status_ = "Cleaning finished.";
                          notify();
                      }});
}

void CleanSysController::cleanAgain(const std::vector<int>& categories) {
    run_.keepOnly(categories);
    session_ = std::make_unique<QuickCleanSession>(run_.folders, options_.deleteOptions);
    startDeleting(true);
}

void CleanSysController::notify() {
    if (changed) changed();
}

}  // namespace quillby
