// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <stop_token>
#include <string>
#include <vector>

#include "clean/CleanFailure.h"
#include "clean/CleanFileInfo.h"
#include "clean/CleanFolder.h"
#include "clean/CleanToolItems.h"
#include "core/events/Observable.h"
#include "core/work/BackgroundJob.h"

namespace quillby {

class PrivilegedAuthorization;

// One clean category's list: its listing scan, its per-item clean, and the check states of its
// review list, kept in step with the category's setting (0 none, 1 all, 2 some checked). Scans
// and cleans run on a worker and finish on the starting thread's main queue; the list, its check
// states and selDelFiles change only on that thread (the worker reports through filesSize and
// iCleanSize). Engine side only: a page shows the observed values and turns clicks into these
// calls.
class ScanViewController {
  public:
    // The list of category `tag` (0 ... 5).
    explicit ScanViewController(int tag);
    ~ScanViewController();
    ScanViewController(const ScanViewController&) = delete;
    ScanViewController& operator=(const ScanViewController&) = delete;

    const int aTag;
    const std::string dicKeyStr;  // the category id as text

    Observable<std::string> filesSize{"0.00 KB"};      // the running (or remaining) total as text
    Observable<std::vector<CleanFileInfo>> scanFiles;  // the listed items, in list order
    Observable<bool> scanFinished{false};
    Observable<bool> cleanFinished{false};
    // How the last scan ended (set with scanFiles): cut short by a stop, and the folders and
    // entries of the category the user may not read (what only administrator rights can list).
    bool scanStopped = false;
    std::vector<std::string> unreadable;
    // The package tools the last scan would have asked but did not find ("flatpak", "snap").
    std::vector<std::string> unavailableTools;
    // Whether the last clean was stopped before it reached every checked record.
    bool cleanStopped = false;
    std::atomic<std::uint64_t> iCleanSize{0};  // bytes the current clean deleted
    std::vector<CleanFileInfo> selDelFiles;    // the checked records (see getSelectPath)
    std::vector<CleanFailure> cleanFailures;   // what the last clean could not delete, and why
    // Rights the clean may use for what the user could not delete, in a category whose folders
    // let the helper clean (null: none; set by the page after the user asked for a retry).
    PrivilegedAuthorization* cleanAuthorization = nullptr;
    int selectRowNum = 0;      // the highlighted row
    bool isSlected = false;    // the last check state set by a click
    bool selectAllOn = false;  // the select-all box above the list

    // Opens a folder in the file viewer (wired by the page); openFinder uses it.
    std::function<bool(const std::filesystem::path& folder)> revealFolder;

    // Listing scan: replaces the list with the cleanable entries of `folders`, each measured,
    // publishing the running total after each one. Each scan or clean has a stop source of its
    // own: a stop asked for before it started does not reach it.
    void beginScanTask(std::vector<CleanFolder> folders);
    // The same for the folders `findFolders` gives on the worker: finding them reads the mount
    // table and every volume's trash, which must not hold the page.
    void beginScanTask(std::function<std::vector<CleanFolder>()> findFolders);
    // The same, also listing the items of the package-tool sources `tools` after the folders'
    // entries (a missing tool goes to unavailableTools). The sources stay for the clean, which
    // removes their items through them.
    void beginScanTask(std::function<std::vector<CleanFolder>()> findFolders,
                       CleanToolSources tools);
    // Stops the running scan or clean (any thread): a scan ends within the entry in hand,
    // keeping what it listed; a clean before its next record, which stays listed and checked.
    void requestStop();

    // Per-item clean: deletes the checked records without privileges, one at a time, keeping
    // filesSize and iCleanSize current; records that could not be deleted stay, still checked,
    // and are listed in cleanFailures with their reason.
    void beginCleanTask();
    // Fills selDelFiles with the checked records in list order; a non-empty tag also turns the
    // select-all box off.
    void getSelectPath(const std::string& tag);

    // The check box of `row` was clicked: toggles it, recomputes the category state and posts
    // "cleanShowSelectNumInBottom" with the new state as sender.
    void setObjectValueForCheckBox(int row);
    // The check-box cell's own action: a cell that was off turns on; one that was on turns off
    // and posts "selectedRowInFastClean". Gives the cell's new state.
    bool CellClick(int row, bool cellWasOn);
    // The select-all box was set to `on`: every record follows, the category state is stored
    // and "cleanShowSelectNumInBottom" is posted.
    void cleanShowSelectNumInBottom(bool on);
    // Checks / unchecks every record and sets the select-all box to match.
    void setAllCheckBoxSelect();
    void setNoCheckBoxSelect();
    // Recomputes the category state (1 all, 2 some, 0 none or empty), stores it as the
    // category's setting and gives it.
    int getSelectAllOrNull();
    // Makes `row` the highlighted row.
    void selectRow(int row);
    // Re-sorts the list by "Name" or "Size" (read back from the size texts).
    void sortScanFiles(std::string_view column, bool ascending);
    // The folder shown for the record of `row` (a folder shows itself, anything else its parent),
    // opened with revealFolder when set; nothing for a row outside the list or for an item of a
    // package tool, which has no folder to show.
    std::optional<std::filesystem::path> openFinder(int row);

    // The folders of the last scan.
    const std::vector<CleanFolder>& folders() const { return folders_; }
    // What the figures of the last scan leave out, in the words the page and the command line
    // show after the total: "needs administrator rights" when nothing could be read, "more needs
    // administrator rights" when a part could not, "scan stopped"; "" when nothing.
    std::string scanNote() const;

  private:
    // What a scan's worker owns until it hands it over on this thread.
    struct ScanJob {
        std::vector<CleanFolder> folders;
        CleanToolSources tools;
        std::vector<CleanFileInfo> found;
        std::vector<std::string> unreadable;
        std::vector<std::string> unavailableTools;
        bool stopped = false;
    };
    // What a clean's worker owns: its copy of the checked records and the paths it deleted.
    struct CleanJob {
        std::vector<CleanFileInfo> records;
        std::vector<std::string> deleted;
        std::vector<CleanFailure> failures;
        bool stopped = false;
    };

    // Runs `work` on a worker with the task's stop token, then `done` on the owning thread.
    void startJob(std::function<void(const std::stop_token&)> work, std::function<void()> done);
    // Blocks until the last task's work has returned.
    void waitForWork() const;
    void scanFolder_worker(ScanJob& job, const std::stop_token& stop);
    // Lists and measures the cleanable entries of the job's folder `folderIndex`; gives the new
    // total.
    std::uint64_t scanDirectory(ScanJob& job, int folderIndex, std::uint64_t totalSize,
                                const std::stop_token& stop);
    // Lists the items of the job's package-tool sources; gives the new total.
    std::uint64_t scanTools(ScanJob& job, std::uint64_t totalSize, const std::stop_token& stop);
    void scanTaskFinished(ScanJob& job);
    // Removes a record of a package tool through its source; true when it went.
    bool cleanToolRecord(const CleanFileInfo& record, std::uint64_t& freed,
                         CleanFailure& failure) const;
    void fastClean_worker(CleanJob& job, const std::stop_token& stop);
    void cleanTaskFinished(const CleanJob& job);
    const CleanFolder* folderHolding(const CleanFileInfo& record) const;
    void setAllChecks(bool on);

    std::vector<CleanFolder> folders_;
    CleanToolSources tools_;
    // The last task's work; its stop token is the Stop button's.
    mutable std::mutex currentMutex_;  // Stop may come from any thread
    std::optional<Job> current_;
    // Last: a result still on its way when the controller goes is dropped.
    std::optional<JobOwner> jobs_;
};

}  // namespace quillby
