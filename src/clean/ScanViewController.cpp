// SPDX-License-Identifier: GPL-3.0-or-later
#include "clean/ScanViewController.h"

#include <algorithm>
#include <cerrno>

#include "clean/CleanEntryRemover.h"
#include "clean/CleanableEntries.h"
#include "core/events/EventBus.h"
#include "core/events/Events.h"
#include "core/events/Log.h"
#include "core/fs/FolderUtilities.h"
#include "core/settings/PreferenceViewController.h"
#include "core/text/UtilityFunction.h"

namespace quillby {

namespace {

std::string iconNameFor(EntryKind kind) {
    switch (kind) {
        case EntryKind::Directory:
            return "folder";
        case EntryKind::Symlink:
            return "inode-symlink";
        default:
            return "text-x-generic";
    }
}

}  // namespace

ScanViewController::ScanViewController(int tag) : aTag(tag), dicKeyStr(std::to_string(tag)) {}

ScanViewController::~ScanViewController() {
    // The work reads this controller: it must end first. Its result is then dropped.
    waitForWork();
}

void ScanViewController::waitForWork() const {
    std::optional<Job> last;
    {
        std::lock_guard lock(currentMutex_);
        last = current_;
    }
    // Without the lock: the work may ask to stop itself meanwhile.
    if (last) last->waitUntilWorkEnded();
}

void ScanViewController::startJob(std::function<void(const std::stop_token&)> work,
                                  std::function<void()> done) {
    // Results go to the queue of the thread that starts the first task.
    if (!jobs_) jobs_.emplace();
    // Held while the job starts: its own work may already ask for a stop.
    std::lock_guard lock(currentMutex_);
    current_ = jobs_->start([work = std::move(work)](JobContext& job) { work(job.stopToken()); },
                            std::move(done));
}

void ScanViewController::beginScanTask(std::vector<CleanFolder> folders) {
    beginScanTask([folders = std::move(folders)] { return folders; });
}

void ScanViewController::beginScanTask(std::function<std::vector<CleanFolder>()> findFolders) {
    beginScanTask(std::move(findFolders), {});
}

void ScanViewController::beginScanTask(std::function<std::vector<CleanFolder>()> findFolders,
                                       CleanToolSources tools) {
    // One task at a time: the last one's work reads and writes what this one starts afresh.
    waitForWork();
    scanFinished.set(false);
    scanFiles.set({});
    // The worker fills its own job; the list, its check states and the folders change only on
    // this thread, where clicks read them.
    auto job = std::make_shared<ScanJob>();
    job->tools = std::move(tools);
    startJob(
        [this, job, findFolders](const std::stop_token& stop) {
            job->folders = findFolders();
            scanFolder_worker(*job, stop);
        },
        [this, job] { scanTaskFinished(*job); });
}

void ScanViewController::requestStop() {
    std::lock_guard lock(currentMutex_);
    if (current_) current_->requestStop();
}

void ScanViewController::scanFolder_worker(ScanJob& job, const std::stop_token& stop) {
    job.found.reserve(100);
    std::uint64_t total = 0;
    for (std::size_t i = 0; i < job.folders.size() && !stop.stop_requested(); ++i) {
        QWLog("Scan folder: %s", job.folders[i].path.c_str());
        total = scanDirectory(job, static_cast<int>(i), total, stop);
    }
    scanTools(job, total, stop);
    job.stopped = stop.stop_requested();
}

std::uint64_t ScanViewController::scanTools(ScanJob& job, std::uint64_t totalSize,
                                            const std::stop_token& stop) {
    const std::size_t filesFound = job.found.size();
    for (std::size_t i = 0; i < job.tools.size() && !stop.stop_requested(); ++i) {
        const CleanToolItems& source = *job.tools[i];
        // The folders' files, found before any tool's items: what an item also removes of
        // them is not counted again.
        auto items = source.list(std::span(job.found).first(filesFound));
        if (!items) {
            // Not every machine has every package tool: named, not an error.
            job.unavailableTools.emplace_back(source.toolName());
            continue;
        }
        for (const auto& item : *items) {
            job.found.emplace_back(item.icon, item.name, item.key,
                                   UtilityFunction::convertVolSpace(item.bytes), item.bytes);
            job.found.back().toolIndex = static_cast<int>(i);
            job.found.back().description = item.description;
            totalSize += item.bytes;
            filesSize.set(UtilityFunction::convertVolSpace(totalSize));
        }
    }
    return totalSize;
}

std::uint64_t ScanViewController::scanDirectory(ScanJob& job, int folderIndex,
                                                std::uint64_t totalSize,
                                                const std::stop_token& stop) {
    const CleanFolder& folder = job.folders[static_cast<std::size_t>(folderIndex)];
    int openError = 0;
    CleanableEntries::forEach(
        folder,
        [&](const CleanableEntry& entry) {
            if (stop.stop_requested()) return false;
            if (entry.unreadable) {
                // Neither shown nor picked; the page says that rights are needed to see it.
                job.unreadable.push_back(entry.path());
                return true;
            }
            TreeTotals totals =
                CleanableEntries::measure(folder, entry,
                                          {.shouldStop = [&stop] { return stop.stop_requested(); },
                                           .threads = TreeMeasure::machineThreads()});
            job.found.emplace_back(iconNameFor(entry.kind), entry.name, entry.path(),
                                   UtilityFunction::convertVolSpace(totals.bytes), totals.bytes);
            job.found.back().folderIndex = folderIndex;
            totalSize += totals.bytes;
            filesSize.set(UtilityFunction::convertVolSpace(totalSize));
            return true;
        },
        &openError);
    if (openError == EACCES) job.unreadable.push_back(folder.path.string());
    return totalSize;
}

void ScanViewController::scanTaskFinished(ScanJob& job) {
    folders_ = std::move(job.folders);
    tools_ = std::move(job.tools);
    scanStopped = job.stopped;
    unreadable = std::move(job.unreadable);
    unavailableTools = std::move(job.unavailableTools);
    scanFiles.set(std::move(job.found));
    EventBus::defaultCenter().post(Events::cleanShowSelectNumInBottom);
    scanFinished.set(true);
}

std::string ScanViewController::scanNote() const {
    std::string note;
    if (!unreadable.empty()) {
        note = scanFiles.get().empty() ? "needs administrator rights"
                                       : "more needs administrator rights";
    }
    if (scanStopped) note += note.empty() ? "scan stopped" : ", scan stopped";
    return note;
}

void ScanViewController::beginCleanTask() {
    waitForWork();
    iCleanSize = 0;
    cleanFinished.set(false);
    // The checked records as they are now go to the worker as its own copy.
    getSelectPath("clean");
    auto job = std::make_shared<CleanJob>();
    job->records = selDelFiles;
    startJob([this, job](const std::stop_token& stop) { fastClean_worker(*job, stop); },
             [this, job] { cleanTaskFinished(*job); });
}

namespace {

bool liesIn(const std::filesystem::path& item, const CleanFolder& folder) {
    auto relative = item.lexically_relative(folder.path);
    return !relative.empty() && relative != "." && *relative.begin() != "..";
}

}  // namespace

const CleanFolder* ScanViewController::folderHolding(const CleanFileInfo& record) const {
    std::filesystem::path item(record.path);
    if (record.folderIndex >= 0 && record.folderIndex < static_cast<int>(folders_.size())) {
        const CleanFolder& found = folders_[record.folderIndex];
        return liesIn(item, found) ? &found : nullptr;
    }
    for (const auto& folder : folders_) {
        if (liesIn(item, folder)) return &folder;
    }
    return nullptr;
}

void ScanViewController::fastClean_worker(CleanJob& job, const std::stop_token& stop) {
    for (const auto& record : job.records) {
        if (stop.stop_requested()) {
            job.stopped = true;
            break;
        }
        std::uint64_t total = UtilityFunction::getVolSpaceFromString(filesSize.get());
        const CleanFolder* folder = record.toolIndex < 0 ? folderHolding(record) : nullptr;
        bool gone = false;
        std::uint64_t size = 0;
        CleanFailure failure{aTag, record.path, "not in a folder of this category", false};
        if (record.toolIndex >= 0) {
            gone = cleanToolRecord(record, size, failure);
        } else if (folder) {
            auto lookup =
                CleanableEntries::withItem(*folder, record.path, [&](const CleanableEntry& entry) {
                    size = CleanableEntries::measure(*folder, entry).bytes;
                    RemovalReport report =
                        CleanEntryRemover(*folder, cleanAuthorization).remove(entry);
                    gone = !report.failed();
                    if (!gone) {
                        failure = cleanFailureFor(aTag, record.path, report.failures.front().error);
                    }
                    return true;
                });
            if (lookup == CleanableEntries::Lookup::Gone) gone = true;
            if (lookup == CleanableEntries::Lookup::Refused) failure.reason = "no longer cleanable";
        }
        if (!gone) {
            QWLog("Clean deletable file failed: %s-%s", record.path.c_str(),
                  failure.reason.c_str());
            job.failures.push_back(std::move(failure));
            continue;
        }
        job.deleted.push_back(record.path);
        filesSize.set(UtilityFunction::convertVolSpace(total > size ? total - size : 0));
        iCleanSize += size;
    }
}

bool ScanViewController::cleanToolRecord(const CleanFileInfo& record, std::uint64_t& freed,
                                         CleanFailure& failure) const {
    if (record.toolIndex >= static_cast<int>(tools_.size())) {
        failure.reason = "no longer listed by its tool";
        return false;
    }
    const CleanToolItems& source = *tools_[static_cast<std::size_t>(record.toolIndex)];
    CleanToolRemoval removal = source.remove(
        {record.name, record.path, record.fileSizeNum, record.icon, record.description},
        cleanAuthorization);
    if (!removal.removed) {
        failure.path = record.name;  // its key means nothing to people
        failure.reason = removal.why;
        failure.permission = removal.rightsMayHelp;
        return false;
    }
    freed = removal.freedBytes;
    return true;
}

void ScanViewController::cleanTaskFinished(const CleanJob& job) {
    auto isDeleted = [&job](const CleanFileInfo& record) {
        return std::find(job.deleted.begin(), job.deleted.end(), record.path) != job.deleted.end();
    };
    auto remaining = scanFiles.get();
    std::erase_if(remaining, isDeleted);
    scanFiles.set(std::move(remaining));
    std::erase_if(selDelFiles, isDeleted);
    cleanFailures = job.failures;
    cleanStopped = job.stopped;
    cleanFinished.set(true);
}

void ScanViewController::getSelectPath(const std::string& tag) {
    selDelFiles.clear();
    for (const auto& record : scanFiles.get()) {
        if (record.bIsSelected) selDelFiles.push_back(record);
    }
    if (!tag.empty()) selectAllOn = false;
}

void ScanViewController::setObjectValueForCheckBox(int row) {
    auto records = scanFiles.get();
    if (row < 0 || row >= static_cast<int>(records.size())) return;
    records[row].bIsSelected = !records[row].bIsSelected;
    isSlected = records[row].bIsSelected;
    scanFiles.set(std::move(records));
    getSelectAllOrNull();
    EventBus::defaultCenter().post(Events::cleanShowSelectNumInBottom, isSlected);
}

bool ScanViewController::CellClick(int row, bool cellWasOn) {
    if (!cellWasOn) return true;
    QWLog("CellClick=%d", row);
    auto records = scanFiles.get();
    std::string icon =
        (row >= 0 && row < static_cast<int>(records.size())) ? records[row].icon : std::string();
    EventBus::defaultCenter().post(
        Events::selectedRowInFastClean, row,
        {{EventKeys::isSelect, isSlected}, {EventKeys::iconImage, icon}});
    return false;
}

void ScanViewController::setAllChecks(bool on) {
    auto records = scanFiles.get();
    for (auto& record : records) record.bIsSelected = on;
    scanFiles.set(std::move(records));
}

void ScanViewController::cleanShowSelectNumInBottom(bool on) {
    setAllChecks(on);
    getSelectAllOrNull();
    auto records = scanFiles.get();
    bool last = !records.empty() && records.back().bIsSelected;
    EventBus::defaultCenter().post(
        Events::cleanShowSelectNumInBottom, last,
        {{EventKeys::startButton, on}, {EventKeys::animation, std::string("animation")}});
}

void ScanViewController::setAllCheckBoxSelect() {
    setAllChecks(true);
    selectAllOn = true;
}

void ScanViewController::setNoCheckBoxSelect() {
    setAllChecks(false);
    selectAllOn = false;
}

int ScanViewController::getSelectAllOrNull() {
    auto records = scanFiles.get();
    auto checked = std::count_if(records.begin(), records.end(),
                                 [](const CleanFileInfo& record) { return record.bIsSelected; });
    int state = 0;
    if (!records.empty() && checked == static_cast<long>(records.size())) {
        selectAllOn = true;
        state = 1;
    } else {
        selectAllOn = false;
        state = checked > 0 ? 2 : 0;
    }
    PreferenceViewController::setCategoryClicked(aTag, state);
    return state;
}

void ScanViewController::selectRow(int row) {
    selectRowNum = row;
}

void ScanViewController::sortScanFiles(std::string_view column, bool ascending) {
    auto records = scanFiles.get();
    if (column == "Name") {
        std::stable_sort(records.begin(), records.end(), [ascending](const auto& a, const auto& b) {
            return ascending ? a.name < b.name : b.name < a.name;
        });
    } else if (column == "Size") {
        std::stable_sort(records.begin(), records.end(), [ascending](const auto& a, const auto& b) {
            return ascending ? b.compareBySize(a) : a.compareBySize(b);
        });
    } else {
        return;
    }
    scanFiles.set(std::move(records));
}

std::optional<std::filesystem::path> ScanViewController::openFinder(int row) {
    auto records = scanFiles.get();
    if (row < 0 || row >= static_cast<int>(records.size())) return std::nullopt;
    if (records[row].toolIndex >= 0) return std::nullopt;
    auto folder = FolderUtilities::getFolderFromFile(records[row].path);
    if (revealFolder && !revealFolder(folder)) {
        QWLog("Cannot open %s in the file viewer", folder.c_str());
    }
    return folder;
}

}  // namespace quillby
