// SPDX-License-Identifier: GPL-3.0-or-later
#include "clean/CleanSysController.h"

#include <algorithm>

#include "clean/CleanCategory.h"
#include "clean/CleanHistory.h"
#include "clean/CleanQuestion.h"
#include "clean/EnabledCleanCategories.h"
#include "core/events/EventBus.h"
#include "core/events/Events.h"
#include "core/fs/RemovalOutcome.h"
#include "core/text/LocalizedText.h"
#include "core/text/UtilityFunction.h"
#include "core/work/AdministratorRightsFlag.h"
#include "core/work/Asker.h"
#include "core/work/MainQueue.h"
#include "core/work/PrivilegedAuthorization.h"

namespace quillby {

namespace {

constexpr const char* kFailuresAlert = "Some items could not be deleted.";

}  // namespace

CleanSysController::CleanSysController(Options options) : options_(std::move(options)) {
    if (!options_.categories) options_.categories = enabledCleanCategories;
}

CleanSysController::~CleanSysController() {
    lifetime_.reset();
    if (session_) session_->cancel();
    if (worker_.joinable()) worker_.join();
}

bool CleanSysController::resetStatus() {
    if (phase_ != Phase::Closed) return true;
    auto& bus = EventBus::defaultCenter();
    totalSize_ = fileCount_ = cleanedCount_ = cleanedSize_ = 0;
    progressVal_ = 0;
    cancelling_ = false;
    retried_ = false;
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
        options_.mainQueue->post([this, alive = alive_, found] {
            if (!alive.expired()) foldersFound(found);
        });
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
        options_.mainQueue->post([this, alive = alive_, totals] {
            if (!alive.expired()) scanFinished(totals.entries, totals.bytes);
        });
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
    options_.mainQueue->post([this, alive = alive_] {
        if (!alive.expired()) showProgress();
    });
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
        QuickCleanResult result = session->clean([this](const QuickCleanProgress& progress) {
            publish(progress.curDeleteFile, progress.progressVal);
        });
        recordFinishedClean(result.cleanedSize);
        options_.mainQueue->post([this, alive = alive_, result] {
            if (!alive.expired()) cleanFinished(result);
        });
    });
    notify();
}

void CleanSysController::cleanFinished(const QuickCleanResult& result) {
    if (worker_.joinable()) worker_.join();
    phase_ = Phase::Closing;
    progressVal_ = 100;
    // A retry with rights cleans what the first pass left: its figures add to that pass's.
    if (!retried_ && (result.fileCount > 0 || result.totalSize > 0)) {
        fileCount_ = result.fileCount;
        totalSize_ = result.totalSize;
    }
    cleanedCount_ = (retried_ ? cleanedCount_ : 0) + result.cleanedCount;
    cleanedSize_ = (retried_ ? cleanedSize_ : 0) + result.cleanedSize;
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
    std::string report = cleanFailureReport(failures_);
    std::vector<int> retryable = categoriesRightsMayClean();
    if (retried_ || retryable.empty()) {
        options_.asker->tell(kFailuresAlert, report);
        return;
    }
    if (!options_.asker->askWithButtons(kFailuresAlert, report, retryWithRightsButton, "OK")) {
        return;
    }
    retried_ = true;
    PrivilegedAuthorization* authorization = options_.deleteOptions.authorization;
    if (!authorization) authorization = &PrivilegedAuthorization::sharedAuthorization();
    // Asking for rights waits for the user's password: never on the main thread.
    phase_ = Phase::Deleting;
    status_ = "Asking for administrator rights...";
    startWorker([this, authorization, retryable] {
        bool granted = authorization->allocAuthorization();
        options_.mainQueue->post([this, alive = alive_, granted, retryable] {
            if (!alive.expired()) rightsAnswered(granted, retryable);
        });
    });
    notify();
}

std::vector<int> CleanSysController::categoriesRightsMayClean() const {
    std::vector<int> categories;
    for (const auto& failure : failures_) {
        if (!failure.permission) continue;
        for (std::size_t i = 0; i < run_.folders.size(); ++i) {
            if (run_.categories[i] != failure.category || run_.folders[i].privilegedCategory < 0) {
                continue;
            }
            if (std::find(categories.begin(), categories.end(), failure.category) ==
                categories.end()) {
                categories.push_back(failure.category);
            }
        }
    }
    return categories;
}

void CleanSysController::rightsAnswered(bool granted, const std::vector<int>& categories) {
    if (worker_.joinable()) worker_.join();
    if (!granted) {
        phase_ = Phase::Closing;
        status_ = "Cleaning finished.";
        notify();
        options_.asker->tell(kRightsNotGivenItemsStay, cleanFailureReport(failures_));
        return;
    }
    AdministratorRightsFlag::set(true);
    run_.keepOnly(categories);
    session_ = std::make_unique<QuickCleanSession>(run_.folders, options_.deleteOptions);
    startDeleting(true);
}

void CleanSysController::notify() {
    if (changed) changed();
}

}  // namespace quillby
