// SPDX-License-Identifier: GPL-3.0-or-later
#include "diskusage/DiskUsageAppController.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <thread>

#include "core/events/EventBus.h"
#include "core/events/Events.h"
#include "core/fs/PathRules.h"
#include "core/settings/SettingsKeys.h"
#include "core/settings/UserDefaults.h"
#include "core/text/UtilityFunction.h"
#include "core/work/Asker.h"
#include "diskusage/DiskUsageLimit.h"
#include "diskusage/FileHighlights.h"
#include "diskusage/NodeTreeOperator.h"
#include "diskusage/ScanFileLoader.h"
#include "diskusage/ScanHistory.h"
#include "diskusage/ScanTreeWriter.h"
#include "platform/PlatformContext.h"

namespace quillby {

namespace {
// The files each list of the ring page's Discover view holds.
constexpr std::size_t kDiscoveredFiles = 20;
}  // namespace

// One scan: made on the main thread, filled by its worker, read on the main thread only after
// the worker has returned. The counters and the stop request are shared while it runs.
struct DiskUsageAppController::ScanJob {
    std::string path;
    int row = 0;
    bool ring = true;
    bool scanFile = false;  // `path` is a scan file to read, not a folder to scan
    std::uint64_t limit = 0;
    unsigned threads = 0;
    ScanScope scope;
    ScanCounters counters;
    std::atomic<bool> stop{false};
    std::atomic<std::int64_t> levelsDone{0};
    std::atomic<std::int64_t> levelsTotal{0};
    std::unique_ptr<PieTree> chart;
    // The largest, newest and oldest files, gathered by the ring's walk and listed on the worker.
    std::unique_ptr<FileHighlights> highlights;
    FileHighlightLists discovered;
    RingPageModel::Listing listing;
    std::unique_ptr<FSNode> browserRoot;
    std::uint64_t total = 0;
    ScanOrigin origin;
    ScanFileReader::Outcome outcome = ScanFileReader::Outcome::Read;
    std::string refusal;
    std::uint64_t unreadable = 0;  // folders that could not be read
    std::optional<std::filesystem::path> keptScans;
    // The ring's comparison: the folder tree of the place's previous kept scan, and its time.
    std::unique_ptr<RingFolderNode> earlier;
    std::int64_t earlierSeconds = 0;
    // The column browser's comparison: each item's change since the place's previous scan.
    std::unique_ptr<ItemTreeChanges> browserChanges;
    std::atomic<bool> workReturned{false};

    // Keeps the root's listing the chart publishes while it is built.
    Subscription captureListing() {
        return EventBus::defaultCenter().observe(
            Events::RefreshLeftView, [this](const Event& event) {
                const auto* sender = std::any_cast<PieTree*>(&event.object);
                const auto* folder = userInfoValue<DiskUsageItem>(event, EventKeys::RootPath);
                const auto* items =
                    userInfoValue<std::vector<DiskUsageItem>>(event, EventKeys::DecendingItem);
                if (sender && *sender == chart.get() && folder && items)
                    listing = {*folder, *items};
            });
    }

    void runImport() {
        ScanFileLoadOptions options;
        options.shouldStop = [this] { return stop.load(std::memory_order_relaxed); };
        options.counters = &counters;
        auto loaded = ScanFileLoader::loadFolderTree(path, options);
        origin = loaded.origin;
        outcome = loaded.outcome;
        unreadable = loaded.unreadableFolders;
        refusal = loaded.message;
        if (!loaded.root || outcome != ScanFileReader::Outcome::Read) return;
        // A second pass for the files the item list shows: the ring's tree keeps folders only.
        // Its items are not counted again in the progress.
        options.counters = nullptr;
        auto files = ScanFileLoader::loadItemTree(path, limit, options);
        if (!files.root || files.outcome != ScanFileReader::Outcome::Read) {
            outcome = files.outcome;
            refusal = files.message;
            return;
        }
        Subscription listed = captureListing();
        chart->adoptImportedTree(std::move(loaded.root), std::move(files.root));
        total = static_cast<std::uint64_t>(std::max<std::int64_t>(0, chart->icAllDir->size));
    }

    void runRing() {
        auto& bus = EventBus::defaultCenter();
        // The scan's events carry no sender; only one scan of the tool runs at a time.
        Subscription levels = bus.observe(Events::GetDirTotalLevel, [this](const Event& event) {
            if (const auto* count = userInfoValue<std::int64_t>(event, EventKeys::DirLevels)) {
                levelsTotal.store(*count, std::memory_order_relaxed);
            }
        });
        Subscription step = bus.observe(Events::NeedUpdateProgress, [this](const Event&) {
            levelsDone.fetch_add(1, std::memory_order_relaxed);
        });
        Subscription listed = captureListing();
        chart->contructPieTree(path);
        if (highlights) discovered = highlights->lists();
        if (chart->icAllDir)
            total = static_cast<std::uint64_t>(std::max<std::int64_t>(0, chart->icAllDir->size));
    }

    void runBrowser() {
        TreeScanOptions options;
        options.threads = threads;
        options.scope = scope;
        options.shouldStop = [this] { return stop.load(std::memory_order_relaxed); };
        options.counters = &counters;
        NodeTreeOperator::Progress progress;
        progress.total = [this](std::int64_t folders) {
            levelsTotal.store(folders, std::memory_order_relaxed);
        };
        progress.step = [this] { levelsDone.fetch_add(1, std::memory_order_relaxed); };
        browserRoot = NodeTreeOperator(options).buildBrowserTree(path, limit, progress);
        if (browserRoot) total = browserRoot->size;
    }

    // Reads the place's previous kept scan for the ring's change column, before this scan is
    // kept (and may prune it). A scan that cannot be read is no comparison.
    void readPreviousScan(const ScanHistory& history, const std::string& place) {
        auto previous = history.latest(place);
        if (!previous) return;
        ScanFileLoadOptions options;
        options.shouldStop = [this] { return stop.load(std::memory_order_relaxed); };
        if (!ring) {
            auto items = ScanFileLoader::loadItemTree(previous->file.string(), limit, options);
            if (items.outcome != ScanFileReader::Outcome::Read || !items.root) return;
            browserChanges = std::make_unique<ItemTreeChanges>(
                ItemTreeChanges::between(*browserRoot, *items.root));
            return;
        }
        auto loaded = ScanFileLoader::loadFolderTree(previous->file.string(), options);
        if (loaded.outcome != ScanFileReader::Outcome::Read || !loaded.root) return;
        earlier = std::move(loaded.root);
        earlierSeconds = loaded.origin.metadata.timestamp.value_or(previous->milliseconds / 1000);
    }

    // Keeps the finished scan among its place's scans. A scan that cannot be kept is logged and
    // shown all the same.
    void keepScan() {
        const RingFolderNode* folders = chart ? chart->icAllDir.get() : nullptr;
        if (!keptScans || stop.load() || (!folders && !browserRoot)) return;
        ScanFileMetadata metadata;
        metadata.program = "quillby";
        metadata.version = PlatformContext::versionText;
        auto now = std::chrono::system_clock::now().time_since_epoch();
        metadata.timestamp = std::chrono::duration_cast<std::chrono::seconds>(now).count();
        std::string place = ScanHistory::placeKey(
            path,
            ScanHistory::kindOf(ring ? std::nullopt : std::optional(limit), scope.allocatedSize));
        ScanHistory history(*keptScans);
        readPreviousScan(history, place);
        std::vector<std::string> problems;
        history.keep(
            place, std::chrono::duration_cast<std::chrono::milliseconds>(now).count(),
            [&](int fd) {
                return folders ? writeScanTree(*folders, metadata, fd)
                               : writeScanTree(*browserRoot, metadata, fd);
            },
            problems);
        for (const auto& problem : problems) {
            std::fprintf(stderr, "Disk usage, kept scans: %s\n", problem.c_str());
        }
    }
};

DiskUsageAppController::DiskUsageAppController(Environment environment)
    : environment_(std::move(environment)), jobs_(environment_.queue) {
    auto rows = DiskUsageLeftCell::pathList(environment_.userName, environment_.homeFolder,
                                            environment_.volumes);
    customRowNum_ = static_cast<int>(rows.size()) - 1;
    rows.front().selectedType = 1;
    allScanArr_.resize(rows.size());
    leftCellArr.set(std::move(rows));
    ringRemovals_ = diskView_.treeShrank.observe([this](const int&) {
        setRow(ringRow_, [&](DiskUsageLeftCell& cell) {
            cell.usedSize = UtilityFunction::convertVolSpace(diskView_.treeBytes());
        });
    });
}

DiskUsageAppController::~DiskUsageAppController() {
    if (job_) job_->stop.store(true);
    if (job_ && job_->chart) job_->chart->cancelTask();
}

void DiskUsageAppController::setRow(int row,
                                    const std::function<void(DiskUsageLeftCell&)>& change) {
    auto rows = leftCellArr.get();
    if (row < 0 || row >= static_cast<int>(rows.size())) return;
    change(rows[static_cast<std::size_t>(row)]);
    leftCellArr.set(std::move(rows));
}

void DiskUsageAppController::showChosenRow(const std::string& path) {
    pathStrDrag = path;
    if (allScanArr_[static_cast<std::size_t>(customRowNum_)].root &&
        leftCellArr.get()[static_cast<std::size_t>(customRowNum_)].pathName != path) {
        // Another folder: what was remembered for the row is not its tree any more.
        if (browserRoot_ == allScanArr_[static_cast<std::size_t>(customRowNum_)].root.get()) {
            browserRoot_ = nullptr;
            browserRootChanged.set(browserRootChanged.get() + 1);
        }
        allScanArr_[static_cast<std::size_t>(customRowNum_)] = {};
    }
    if (ringRow_ == customRowNum_ &&
        leftCellArr.get()[static_cast<std::size_t>(customRowNum_)].pathName != path) {
        ringRow_ = -1;
    }
    setRow(customRowNum_, [&](DiskUsageLeftCell& cell) {
        if (cell.pathName != path) {
            cell.isScaned = false;
            cell.usedSize.clear();
            cell.unreadableFolders = 0;
        }
        cell.pathName = path;
        cell.name = folderName(path);
        cell.hidden = false;
    });
}

void DiskUsageAppController::selectRow(int row) {
    beforeSelectRow_ = row;
    selectState_ = row == 0 ? 0 : row == customRowNum_ ? 2 : 1;
    auto rows = leftCellArr.get();
    for (std::size_t i = 0; i < rows.size(); ++i) {
        rows[i].selectedType = static_cast<int>(i) == row ? 1 : 0;
    }
    leftCellArr.set(std::move(rows));
    browserRoot_ = allScanArr_[static_cast<std::size_t>(row)].root.get();
    browserRootChanged.set(browserRootChanged.get() + 1);
}

void DiskUsageAppController::clickRow(int row) {
    if (!bSearchFinished_) return;
    auto rows = leftCellArr.get();
    if (row < 0 || row >= static_cast<int>(rows.size())) return;
    const DiskUsageLeftCell& cell = rows[static_cast<std::size_t>(row)];
    if (cell.pathName.empty()) return;  // the chosen-folder row before any folder was chosen
    if (row == scanFileRowNum_) {
        // Its tree is shown again while the ring page holds it, else the file is read again.
        nowClickCell_ = row;
        if (row != beforeSelectRow_) selectRow(row);
        if (ringRow_ == row && diskView_.chart()) {
            showRingResults();
        } else {
            openScanFile(cell.pathName);
        }
        return;
    }
    scanPathStr = cell.pathName;
    nowClickCell_ = row;
    if (row == customRowNum_) showChosenRow(cell.pathName);
    itemPath = cell.pathName;
    if (row != beforeSelectRow_) selectRow(row);

    if (showStyle() && ringRow_ == row && diskView_.chart()) {
        showRingResults();
    } else if (!showStyle() && allScanArr_[static_cast<std::size_t>(row)].root) {
        resultsInRing_ = false;
        showPage(kResults);
    } else {
        getLocalPath();
    }
}

void DiskUsageAppController::folderChosen(const std::string& path) {
    if (!bSearchFinished_) return;
    tmpPathStr = path;
    scanPathStr = path;
    showChosenRow(path);
    nowClickCell_ = customRowNum_;
    if (beforeSelectRow_ != customRowNum_) selectRow(customRowNum_);
    getLocalPath();
}

void DiskUsageAppController::folderChoiceCancelled() {
    scanPathStr = tmpPathStr;
}

void DiskUsageAppController::dropFolder(const std::string& path) {
    folderChosen(path);
}

bool DiskUsageAppController::getLocalPath() {
    if (!bSearchFinished_) return false;
    std::string path = scanPathStr;
    if (path.empty()) {
        if (beforeSelectRow_ == customRowNum_) {
            path = pathStrDrag;
            if (path.empty()) {
                if (environment_.asker) environment_.asker->tell(kNoPathAlert, "");
                return false;
            }
        } else {
            path = environment_.homeFolder;
        }
    }
    startScan(path);
    return true;
}

void DiskUsageAppController::showRingResults() {
    resultsInRing_ = true;
    diskView_.reopen();
    showPage(kResults);
}

bool DiskUsageAppController::openScanFile(const std::string& path) {
    if (!bSearchFinished_ || path.empty()) return false;
    startScan(path, true);
    return true;
}

void DiskUsageAppController::startScan(const std::string& path, bool scanFile) {
    auto job = std::make_shared<ScanJob>();
    job->path = path;
    job->row = nowClickCell_;
    job->scanFile = scanFile;
    // A scan file's tree is the ring chart's, whatever the display mode.
    job->ring = scanFile || showStyle();
    job->limit = DiskUsageLimit::getLimitSize();
    job->threads = environment_.scanThreads;
    job->scope = ScanScope::fromSettings();
    job->keptScans = scanFile ? std::nullopt : environment_.keptScans;
    if (job->ring) {
        // The old chart goes first, so two trees are never held at once.
        diskView_.releaseTree();
        ringRow_ = -1;
        PieTree::Options options;
        options.threads = environment_.scanThreads;
        options.counters = &job->counters;
        options.scope = job->scope;
        if (!scanFile) {
            job->highlights =
                std::make_unique<FileHighlights>(kDiscoveredFiles, job->scope.allocatedSize);
            options.highlights = job->highlights.get();
        }
        job->chart = std::make_unique<PieTree>(options);
    }
    bSearchFinished_ = false;
    bStopTask_ = false;
    diskView_.setScanRunning(true);
    job_ = job;
    showPage(kScanning);

    jobs_.start(
        [job](JobContext&) {
            if (job->scanFile) {
                job->runImport();
            } else {
                job->ring ? job->runRing() : job->runBrowser();
                job->keepScan();
            }
            job->workReturned.store(true);
        },
        [this, job] { finishScan(job); });
}

void DiskUsageAppController::finishScan(const std::shared_ptr<ScanJob>& job) {
    bSearchFinished_ = true;
    diskUsageScaned_ = true;
    diskView_.setScanRunning(false);
    lastProgress_ = progress();
    job_.reset();
    bool stopped = bStopTask_;
    if (!job->scanFile) job->unreadable = job->counters.unreadableFolders.load();
    if (job->scanFile) {
        finishImport(*job);
        return;
    }
    if (!stopped && !job->ring && (!job->browserRoot || job->browserRoot->children.empty())) {
        if (environment_.asker) environment_.asker->tell(kNothingFoundAlert, "");
        stopped = bStopTask_ = true;
    }
    if (!stopped) {
        auto row = static_cast<std::size_t>(job->row);
        if (job->ring) {
            if (job->earlier) diskView_.compareWith(std::move(job->earlier), job->earlierSeconds);
            diskView_.showTree(std::move(job->chart), job->listing);
            diskView_.discover().show(job->discovered);
            ringRow_ = job->row;
        } else {
            allScanArr_[row] = {std::move(job->browserRoot), std::move(job->browserChanges)};
            if (beforeSelectRow_ == job->row) {
                browserRoot_ = allScanArr_[row].root.get();
                browserRootChanged.set(browserRootChanged.get() + 1);
            }
        }
        resultsInRing_ = job->ring;
        setRow(job->row, [&](DiskUsageLeftCell& cell) {
            cell.isScaned = true;
            cell.usedSize = UtilityFunction::convertVolSpace(job->total);
            cell.unreadableFolders = job->unreadable;
        });
    }
    showPage(stopped ? kPathChoice : kResults);
}

void DiskUsageAppController::finishImport(ScanJob& job) {
    bool read = !bStopTask_ && job.outcome == ScanFileReader::Outcome::Read && job.chart &&
                job.chart->icAllDir;
    if (!read) {
        if (!bStopTask_ && job.outcome != ScanFileReader::Outcome::Stopped && environment_.asker)
            environment_.asker->tell(kBadScanFileAlert, job.refusal);
        bStopTask_ = true;
        showPage(kPathChoice);
        return;
    }
    if (scanFileRowNum_ < 0) {
        // The scan-file row goes last, after the chosen-folder row.
        auto rows = leftCellArr.get();
        DiskUsageLeftCell row;
        row.icon = "Folder_yes.png";
        rows.push_back(row);
        scanFileRowNum_ = static_cast<int>(rows.size()) - 1;
        allScanArr_.resize(rows.size());
        leftCellArr.set(std::move(rows));
    }
    setRow(scanFileRowNum_, [&](DiskUsageLeftCell& cell) {
        cell.pathName = job.path;
        std::size_t slash = job.path.rfind('/');
        cell.name = slash == std::string::npos ? job.path : job.path.substr(slash + 1);
        cell.isScaned = true;
        cell.usedSize = UtilityFunction::convertVolSpace(job.total);
        cell.unreadableFolders = job.unreadable;
    });
    nowClickCell_ = scanFileRowNum_;
    if (beforeSelectRow_ != scanFileRowNum_) selectRow(scanFileRowNum_);
    diskView_.showTree(std::move(job.chart), job.listing, job.origin, job.path);
    ringRow_ = scanFileRowNum_;
    resultsInRing_ = true;
    showPage(kResults);
}

void DiskUsageAppController::stopScan() {
    if (bSearchFinished_ || !job_) return;
    bStopTask_ = true;
    job_->stop.store(true);
    if (job_->chart) job_->chart->cancelTask();
}

void DiskUsageAppController::browserRemovalApplied(const FSNode* tree) {
    for (std::size_t row = 0; tree && row < allScanArr_.size(); ++row) {
        if (allScanArr_[row].root.get() != tree) continue;
        setRow(static_cast<int>(row), [&](DiskUsageLeftCell& cell) {
            cell.usedSize = UtilityFunction::convertVolSpace(tree->size);
        });
    }
}

const ItemTreeChanges* DiskUsageAppController::browserChanges() const {
    for (const auto& scanned : allScanArr_) {
        if (browserRoot_ && scanned.root.get() == browserRoot_) return scanned.changes.get();
    }
    return nullptr;
}

std::string DiskUsageAppController::unreadableNote() const {
    int row = resultsInRing_ ? ringRow_ : beforeSelectRow_;
    auto rows = leftCellArr.get();
    if (row < 0 || row >= static_cast<int>(rows.size())) return {};
    return unreadableFoldersText(rows[static_cast<std::size_t>(row)].unreadableFolders);
}

void DiskUsageAppController::waitForScanWorker() {
    while (job_ && !job_->workReturned.load()) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

DiskUsageAppController::Progress DiskUsageAppController::progress() const {
    if (!job_) return lastProgress_;
    Progress now;
    now.folders = job_->counters.folders.load(std::memory_order_relaxed);
    now.files = job_->counters.files.load(std::memory_order_relaxed);
    now.bytes = job_->counters.bytes.load(std::memory_order_relaxed);
    now.levelsDone = job_->levelsDone.load(std::memory_order_relaxed);
    now.levelsTotal = job_->levelsTotal.load(std::memory_order_relaxed);
    now.path = job_->path;
    return now;
}

bool DiskUsageAppController::showStyle() const {
    // The setting's default (columns) is registered with the other preferences. A build without
    // the column browser shows the ring chart until the user chooses otherwise.
    auto& defaults = UserDefaults::standardUserDefaults();
    if (!environment_.columnBrowserAvailable &&
        !defaults.storedValue(SettingsKey::QWDiskUsageShowStyle))
        return true;
    return defaults.boolForKey(SettingsKey::QWDiskUsageShowStyle);
}

void DiskUsageAppController::setShowStyle(bool ring) {
    auto& defaults = UserDefaults::standardUserDefaults();
    defaults.setBool(ring, SettingsKey::QWDiskUsageShowStyle);
    defaults.synchronize();
}

void DiskUsageAppController::showPage(int mode) {
    pageMode.set(mode);
}

}  // namespace quillby
