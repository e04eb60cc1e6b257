// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <any>
#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "clean/CleanFailure.h"
#include "clean/CleanFolder.h"
#include "clean/CleanRetry.h"
#include "clean/ScanViewController.h"
#include "core/events/Subscription.h"
#include "core/work/BackgroundJob.h"

namespace quillby {

class Asker;
class MainQueue;
class PrivilegedAuthorization;

// The system clean page without widgets: the six category lists, the scan of every category
// with its stop (the same listing scan as `quillby clean scan`), the check states kept from one
// scan to the next, the selection summary, the clean of everything checked or of one category
// (with the Downloads question) and its stop, the cleaned amounts in exact bytes, the per-item
// failure report with its retry, and the history record. Lives on the main thread; the lists'
// workers report through its main queue.
class SystemCleanModel {
  public:
    struct Options {
        // The folders of a category, each with its rule.
        std::function<std::vector<CleanFolder>(int category)> folders;
        // The package-tool sources of a category (none given: those of the installed platform
        // services, CleanToolItems::ofCategory).
        std::function<CleanToolSources(int category)> toolItems;
        Asker* asker = nullptr;
        // Where row sizes published by the workers are handed over (required).
        MainQueue* mainQueue = nullptr;
        // The rights a retry asks for (null: no retry is offered).
        PrivilegedAuthorization* authorization = nullptr;
    };

    // The sub-pages of the "Scan" feature: the main page, the progress page while a clean
    // runs, the results page after it.
    enum SubPage { MainPage = 0, ProgressPage = 1, ResultsPage = 2 };

    explicit SystemCleanModel(Options options);
    ~SystemCleanModel();
    SystemCleanModel(const SystemCleanModel&) = delete;
    SystemCleanModel& operator=(const SystemCleanModel&) = delete;

    // Called on the main thread after every change the page shows.
    std::function<void()> changed;
    // Called when the feature's sub-page changes.
    std::function<void(SubPage)> subPageChanged;

    // Replaces the asker (the page's message boxes need a widget made after the model).
    void setAsker(Asker* asker) { options_.asker = asker; }

    ScanViewController& list(int category) { return *tableControllers_[category]; }
    const ScanViewController& list(int category) const { return *tableControllers_[category]; }

    // The feature list's selected row: 0 the overview (cleans everything checked), 1 to 6 the
    // categories 0 to 5 (cleans that category).
    void selectRow(int row);
    int selectedRow() const { return selectRowNum_; }

    // The scan button: starts the scan of every category; while one runs it stops it.
    void scan();
    // The stop button: every running scan ends within the entry in hand, keeping what it listed;
    // a running clean ends before its next item. Pressed once, it cannot be pressed again.
    void stop();
    // The clean button: everything checked (overview row) or the selected row's category.
    void clean();
    // The results page's back button.
    void back();

    bool isScanning() const { return isCancelButton_; }
    bool isCleaning() const { return cleaning_; }
    // True while a scan or a clean works on the category: its check boxes must not change.
    bool categoryBusy(int category) const { return busy_[category]; }
    bool canScan() const { return !cleaning_; }
    bool canStop() const {
        return (isCancelButton_ || (cleaning_ && finishScanCount_ > 0)) && !stopping_;
    }
    bool canClean() const;
    bool isCleanFinshed() const { return isCleanFinshed_; }
    SubPage subPage() const { return subPage_; }

    // The category's row check box, from its setting: 0 off, 1 on, 2 partly on (only while some
    // listed item is checked: a stored "some" of an earlier run names nothing this run lists, so
    // it reads, and is stored, as off).
    int categoryState(int category) const;
    // The row check box was clicked ("checkBoxAction"): 1 becomes 0, 0 or 2 becomes 1, and the
    // list follows. False while the category is busy.
    bool clickCategoryCheckBox(int category);
    // An item's check box; false while the category is busy.
    bool toggleItem(int category, int row);
    // The list's select-all box; false while the category is busy.
    bool setAllItems(int category, bool on);

    // "%d of %d selected, %@ will free up." over every list, with the checked items' exact bytes.
    std::string summaryText() const;
    std::uint64_t checkedBytes() const;
    int checkedCount() const;
    int listedCount() const;
    // What the page is doing or last did: "Scanning...", "Cleaning...", "Stopping...", "Scan
    // stopped.", or after a clean "%@ is cleaned" (with "Stopped before %d items." when it was
    // stopped); empty before anything happened.
    std::string statusText() const;
    // A feature row's size text, what is there now: a category's listed bytes (its running total
    // while scanned or cleaned), "not scanned" before its first scan, "needs administrator rights"
    // when nothing of it could be read, and a note after the figure when its scan was stopped or
    // part of it needs rights. The overview's is the sum of the categories.
    std::string rowSizeText(int row) const;
    std::uint64_t rowBytes(int row) const;
    // The category's progress level (0 ... 100) and its image name "%d_progress_bar.png".
    int progressLevel(int category) const;
    std::string progressImageName(int category) const;
    // Bytes the last clean freed in the category, and in all.
    std::uint64_t cleanedBytes(int category) const { return cleanedSize_[category]; }
    std::uint64_t showCleanedSize() const { return showCleanedSize_; }
    // What the last clean could not delete, in category order.
    const std::vector<CleanFailure>& failures() const { return failures_; }
    // Whether administrator rights are held ("changeLockState").
    bool isUnlocked() const { return unlocked_; }

  private:
    void observeEvents();
    void updateSelectNumber(const std::any& sender);
    void changeCheckBox(int tag, bool flag);
    void scanFinished(int category);
    void scanAllFinished();
    void restoreChecks(int category);
    void startClean(const std::vector<int>& categories);
    void categoryCleaned(int category);
    void cleanAllFinished();
    void reportFailures();
    void setSubPage(SubPage page);
    void notify();

    Options options_;
    std::array<std::unique_ptr<ScanViewController>, 6> tableControllers_;
    int selectRowNum_ = 0;
    int finishScanCount_ = 0;
    bool isCancelButton_ = false;
    bool cleaning_ = false;
    bool isCleanFinshed_ = false;
    bool isShowCleanedSize_ = false;
    bool stopping_ = false;
    bool scanStopped_ = false;
    // Checked items a stopped clean did not reach.
    std::size_t untried_ = 0;
    // Categories whose scan has finished at least once (their rows have figures).
    std::array<bool, 6> scanned_{};
    bool unlocked_ = false;
    SubPage subPage_ = MainPage;
    std::array<bool, 6> busy_{};
    // A list's new running total waits on the main queue, which then reads the latest.
    std::array<std::atomic<bool>, 6> sizeUpdatePosted_{};
    std::vector<int> scanObjsArr_;
    // The checked paths of each list when its scan started: a partial selection survives.
    std::array<std::set<std::string>, 6> checkedBefore_;
    // What each list held checked when its clean started, and what the clean freed.
    std::array<std::uint64_t, 6> checkedAtClean_{};
    std::array<std::uint64_t, 6> cleanedSize_{};
    std::uint64_t showCleanedSize_ = 0;
    std::vector<CleanFailure> failures_;
    std::vector<Subscription> subscriptions_;
    CleanRetry retry_;
    // Last: news from the lists' workers still on its way finds the page gone.
    JobOwner owner_{options_.mainQueue};
};

}  // namespace quillby
