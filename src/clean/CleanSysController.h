// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "clean/CleanFailure.h"
#include "clean/CleanRetry.h"
#include "clean/DeleteFolderOperation.h"
#include "clean/QuickCleanFolders.h"
#include "clean/QuickCleanSession.h"
#include "core/work/BackgroundJob.h"

namespace quillby {

class Asker;
class MainQueue;

// The quick-clean window without widgets: it empties the folders of every enabled category,
// scanning first (with the Downloads question before anything is deleted), then deleting with
// progress by entries, and closes with a balloon of what was really freed. The session runs on
// a worker of its own; every change the window shows happens on the main thread. Destroying it
// stops and joins the worker, and nothing it posted reaches it afterwards.
class CleanSysController {
  public:
    struct Options {
        // The folders of a category, each with its rule.
        std::function<std::vector<CleanFolder>(int category)> folders;
        // The categories to empty (default: those whose setting is 1).
        std::function<std::vector<int>()> categories;
        Asker* asker = nullptr;
        MainQueue* mainQueue = nullptr;  // required
        DeleteFolderOperation::Options deleteOptions;
    };

    enum class Phase { Closed, Scanning, Deleting, Closing };

    // Seconds a closing balloon stays, and milliseconds from the end to "ShouldCloseWindow".
    static constexpr int kBalloonSeconds = 5;
    static constexpr int kCloseDelayMs = 1000;

    explicit CleanSysController(Options options);
    ~CleanSysController();
    CleanSysController(const CleanSysController&) = delete;
    CleanSysController& operator=(const CleanSysController&) = delete;

    // Called on the main thread after every change the window shows.
    std::function<void()> changed;
    // A balloon: its lines, and whether it reports a failure.
    std::function<void(const std::vector<std::string>& lines, bool error)> showBubble;

    // Opens: resets the counters and starts finding, then scanning, the enabled categories'
    // folders on the worker. With no category enabled it shows the "NO_FOLDER_CONTENT" balloon,
    // posts "ShouldCloseWindow" and "refMenuItemWhenDeleteAndAdd", opens no window and gives
    // false; when the categories turn out to have no folder, the same follows the scan's start
    // (the window closes).
    bool resetStatus();
    // The cancel button: the running step ends at its next entry; the window then closes with
    // what was really deleted.
    void cancel();
    // Posts "ShouldCloseWindow" (the window's owner closes it on the main queue).
    void close();
    // After a clean that left items behind: the report of each with its reason, offering once
    // the retry with administrator rights when rights may help in a system category (a user
    // category's folders are the user's own: what the user cannot delete there stays).
    void showFailures();

    bool windowVisible() const { return phase_ != Phase::Closed; }
    Phase phase() const { return phase_; }
    const std::string& statusText() const { return status_; }
    const std::string& curDeleteFile() const { return curDeleteFile_; }
    // Percent of the scanned entries deleted; 0 ... 100.
    double progressVal() const { return progressVal_; }
    // True while the bar cannot say how far (the scan).
    bool progressIndeterminate() const { return phase_ == Phase::Scanning; }
    bool canCancel() const {
        return !cancelling_ && (phase_ == Phase::Scanning || phase_ == Phase::Deleting);
    }
    bool isCancelling() const { return cancelling_; }
    // Once closing: true when the window closes by itself (nothing failed).
    bool closesByItself() const { return failures_.empty(); }

    std::uint64_t totalSize() const { return totalSize_; }
    std::uint64_t fileCount() const { return fileCount_; }
    std::uint64_t cleanedCount() const { return cleanedCount_; }
    std::uint64_t cleanedSize() const { return cleanedSize_; }
    const std::vector<CleanFailure>& failures() const { return failures_; }
    // The closing balloon's lines.
    std::vector<std::string> closingLines() const;

  private:
    // Where the worker leaves the latest progress for the main thread.
    struct Progress {
        std::mutex mutex;
        std::string path;
        double percent = 0;
        bool posted = false;
    };

    void startWorker(std::function<void()> work);
    void nothingToClean();
    void foldersFound(const QuickCleanFolders& found);
    void publish(const std::string& path, double percent);
    void showProgress();
    void scanFinished(std::uint64_t entries, std::uint64_t bytes);
    void startDeleting(bool scanFirst);
    void cleanFinished(const QuickCleanResult& result);
    void cleanAgain(const std::vector<int>& categories);
    void notify();

    Options options_;
    QuickCleanFolders run_;
    std::unique_ptr<QuickCleanSession> session_;
    std::thread worker_;
    std::shared_ptr<Progress> progress_ = std::make_shared<Progress>();
    // Tasks the worker posts go through the owner: once it is gone, they do nothing.
    JobOwner owner_{options_.mainQueue};
    // What the worker posts through: made here, never written while a worker runs.
    const OwnerQueue back_ = owner_.queue();

    Phase phase_ = Phase::Closed;
    bool cancelling_ = false;
    std::string status_;
    std::string curDeleteFile_;
    double progressVal_ = 0;
    std::uint64_t totalSize_ = 0;
    std::uint64_t fileCount_ = 0;
    std::uint64_t cleanedCount_ = 0;
    std::uint64_t cleanedSize_ = 0;
    std::vector<CleanFailure> failures_;
    CleanRetry retry_;
};

}  // namespace quillby
