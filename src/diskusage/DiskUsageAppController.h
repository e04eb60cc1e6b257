// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/events/Observable.h"
#include "core/events/Subscription.h"
#include "core/work/BackgroundJob.h"
#include "diskusage/DiskUsageLeftCell.h"
#include "diskusage/EarlierScan.h"
#include "diskusage/FSNode.h"
#include "diskusage/RingPageModel.h"
#include "diskusage/TreeScanOptions.h"
#include "platform/VolumeFacts.h"

namespace quillby {

class Asker;
class MainQueue;

// The disk-usage tool without widgets: the path list, choosing or dropping a folder, one scan at
// a time on a worker with its progress counters, stopping, the finish step that hands the
// finished tree to the results page, the three pages (0 path list, 1 progress, 2 results) and
// the display mode ("QWDiskUsageShowStyle": true ring chart, false column browser), which
// applies from the next scan. Main thread only; the scan's tree is never read before its worker
// has finished.
class DiskUsageAppController {
  public:
    enum PageMode { kPathChoice = 0, kScanning = 1, kResults = 2 };

    // The folder sheet.
    static constexpr const char* kChooseTitle = "Choose a path to search";
    static constexpr const char* kChoosePrompt = "Choose";
    static constexpr const char* kChooseStart = "/";
    // Alerts.
    static constexpr const char* kNoPathAlert = "Please select some path to scan.";
    static constexpr const char* kNothingFoundAlert =
        "No items found in selected folder. Please try another one.";
    // Scan files ("Open scan…").
    static constexpr const char* kOpenScanTitle = "Open a scan file";
    static constexpr const char* kScanFileFilter = "Scan files (*.json)";
    static constexpr const char* kBadScanFileAlert = "This file cannot be opened as a scan.";

    struct Environment {
        std::string userName;
        std::string homeFolder;
        std::vector<VolumeFacts> volumes;  // the listed volumes; only local ones get a row
        std::shared_ptr<Asker> asker;
        MainQueue* queue = nullptr;  // where the finish step runs; the caller's by default
        // Whether this build shows the column browser. Only then is its mode the default.
        bool columnBrowserAvailable = true;
        unsigned scanThreads = 0;  // 0: the default
        // Where every finished scan of a place is kept (ScanHistory), written on the scan's
        // worker; none: scans are not kept.
        std::optional<std::filesystem::path> keptScans;
    };

    // What the progress page shows, read while the scan runs.
    struct Progress {
        std::uint64_t folders = 0;
        std::uint64_t files = 0;
        std::uint64_t bytes = 0;
        std::int64_t levelsDone = 0;  // top-level folders finished
        std::int64_t levelsTotal = 0;
        std::string path;  // the folder being scanned
    };

    explicit DiskUsageAppController(Environment environment);
    // Stops a running scan; its finish step is dropped.
    ~DiskUsageAppController();
    DiskUsageAppController(const DiskUsageAppController&) = delete;
    DiskUsageAppController& operator=(const DiskUsageAppController&) = delete;

    // The path list (leftCellArr) and its rows' roles.
    Observable<std::vector<DiskUsageLeftCell>> leftCellArr;
    int customRowNum() const { return customRowNum_; }
    int beforeSelectRow() const { return beforeSelectRow_; }
    int nowClickCell() const { return nowClickCell_; }
    // 0 when the home row is selected, 2 for the chosen-folder row, 1 for any other.
    int selectState() const { return selectState_; }

    // A row's click, handled only while no scan runs: the row becomes selected; a row not yet
    // scanned in the current mode is scanned, a scanned one shows its results again.
    void clickRow(int row);
    // The folder sheet was confirmed with `path`, or cancelled.
    void folderChosen(const std::string& path);
    void folderChoiceCancelled();
    // A folder was dropped on the tool.
    void dropFolder(const std::string& path);
    // The scan button, and every other start: scans `scanPathStr`, else the chosen-folder row's
    // path when that row is selected (telling "Please select some path to scan." when there is
    // none), else the home folder. Refused (false) while a scan runs; decided here, on the main
    // thread, before any worker starts.
    bool getLocalPath();
    // "Open scan…" (or a scan file dropped on the tool): reads the file at `path` on the worker
    // with progress and stop like a scan and shows its tree on the ring page, marked imported,
    // as the scan-file row naming the file (added on the first success). A file that cannot be
    // read is refused with the reader's one line and nothing is shown. Refused (false) while a
    // scan runs.
    bool openScanFile(const std::string& path);
    // The scan-file row, or -1 before a scan file was opened.
    int scanFileRowNum() const { return scanFileRowNum_; }
    // A removal from the column browser was applied to the tree `tree` (its sizes follow the
    // outcomes): the row of that tree shows what is left. The ring page's removals reach their
    // row through its model.
    void browserRemovalApplied(const FSNode* tree);
    // For the results shown: "N folders could not be read: …", or empty when every folder was
    // read.
    std::string unreadableNote() const;
    // The stop button: the scan ends as soon as it can and the tool returns to the path list.
    void stopScan();
    // Waits until the running scan's work has returned (its finish step still goes through
    // the main queue). For tests.
    void waitForScanWorker();

    const std::string& homeFolder() const { return environment_.homeFolder; }
    bool bSearchFinished() const { return bSearchFinished_; }
    bool bStopTask() const { return bStopTask_; }
    bool diskUsageScaned() const { return diskUsageScaned_; }
    // The figures of the running scan; once it has ended, its last figures (the progress page
    // may still be on show while the results fade in).
    Progress progress() const;

    // The page shown: 0 path list ("disk_usage"), 1 progress ("QC_DiskUsage"), 2 results
    // ("DATA_DiskUsage").
    Observable<int> pageMode{kPathChoice};
    // Whether the results shown are the ring chart's (else the column browser's).
    bool resultsInRing() const { return resultsInRing_; }

    // The display mode: stored at once, used from the next scan.
    bool showStyle() const;
    void setShowStyle(bool ring);

    // The ring page's logic (diskView).
    RingPageModel& diskView() { return diskView_; }
    // The column browser's tree: the selected row's remembered tree, or nullptr.
    FSNode* browserRoot() const { return browserRoot_; }
    // Each item's change in that tree since the place's previous kept scan; nullptr when no
    // earlier scan was compared.
    const ItemTreeChanges* browserChanges() const;
    Observable<int> browserRootChanged{0};

    std::string scanPathStr;
    std::string tmpPathStr;
    std::string pathStrDrag;
    std::string itemPath;

  private:
    struct ScanJob;
    void startScan(const std::string& path, bool scanFile = false);
    void finishImport(ScanJob& job);
    void showRingResults();
    void finishScan(const std::shared_ptr<ScanJob>& job);
    void selectRow(int row);
    void showChosenRow(const std::string& path);
    void setRow(int row, const std::function<void(DiskUsageLeftCell&)>& change);
    void showPage(int mode);

    Environment environment_;
    RingPageModel diskView_;
    int customRowNum_ = 0;
    int scanFileRowNum_ = -1;
    int beforeSelectRow_ = 0;
    int nowClickCell_ = 0;
    int selectState_ = 0;
    bool bSearchFinished_ = true;
    bool bStopTask_ = false;
    bool diskUsageScaned_ = false;
    bool resultsInRing_ = true;
    int ringRow_ = -1;  // the row whose tree the ring page holds
    // A row's item tree, and its items' changes when an earlier scan of the place was kept.
    struct ScannedItems {
        std::unique_ptr<FSNode> root;
        std::unique_ptr<ItemTreeChanges> changes;
    };
    std::vector<ScannedItems> allScanArr_;
    FSNode* browserRoot_ = nullptr;
    std::shared_ptr<ScanJob> job_;
    Progress lastProgress_;
    Subscription ringRemovals_;
    // Last: the finish step of a scan that outlives the controller is dropped.
    JobOwner jobs_;
};

}  // namespace quillby
