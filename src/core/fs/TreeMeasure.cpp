// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/fs/TreeMeasure.h"

#include <fcntl.h>

#include <algorithm>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

#include "core/fs/DirectoryReader.h"
#include "core/fs/EntryStatus.h"

namespace quillby {

namespace {

// Helper threads start only once a walk has met this many folders: small items stay on the
// calling thread.
constexpr unsigned kFoldersBeforeHelp = 64;

}  // namespace

// Helper threads that take subfolders the walking threads offer while some helper is idle.
// Threads walk depth first and hand out work only to an idle helper, so the number of open
// folders stays bounded by the depth of the tree times the number of threads.
class TreeMeasure::Crew {
  public:
    struct Task {
        FolderHandle folder;
        EntryVerdict verdict;
        int depth;
    };

    Crew(TreeMeasure& walk, unsigned helpers) : walk_(walk) {
        for (unsigned i = 0; i < helpers; ++i) threads_.emplace_back([this] { helperLoop(); });
    }

    // True when an idle helper would take a folder now (a racy hint; a late answer only costs
    // balance).
    bool wantsWork() const { return hungry_.load(std::memory_order_relaxed) > 0; }

    void offer(Task task) {
        {
            std::lock_guard lock(mutex_);
            tasks_.push_back(std::move(task));
            updateHunger();
        }
        changed_.notify_all();
    }

    // Called by the thread that started the walk once its own part is done: helps until every
    // folder is measured, ends the helpers and gives what they counted.
    TreeTotals finish() {
        std::unique_lock lock(mutex_);
        for (;;) {
            if (!tasks_.empty()) {
                runOne(lock);
                continue;
            }
            if (idle_ == threads_.size()) break;
            changed_.wait(lock);
        }
        finishing_ = true;
        lock.unlock();
        changed_.notify_all();
        for (auto& thread : threads_) thread.join();
        return totals_;
    }

  private:
    // Under the lock.
    void updateHunger() {
        hungry_.store(static_cast<int>(idle_) - static_cast<int>(tasks_.size()),
                      std::memory_order_relaxed);
    }

    void runOne(std::unique_lock<std::mutex>& lock) {
        Task task = std::move(tasks_.front());
        tasks_.pop_front();
        updateHunger();
        lock.unlock();
        TreeTotals local;
        walk_.measureFolder(task.folder, task.verdict, task.depth, local);
        task.folder = FolderHandle();
        lock.lock();
        totals_.bytes += local.bytes;
        totals_.entries += local.entries;
    }

    void helperLoop() {
        std::unique_lock lock(mutex_);
        for (;;) {
            ++idle_;
            updateHunger();
            changed_.notify_all();
            changed_.wait(lock, [this] { return finishing_ || !tasks_.empty(); });
            if (tasks_.empty()) return;
            --idle_;
            runOne(lock);
        }
    }

    TreeMeasure& walk_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<Task> tasks_;
    std::vector<std::thread> threads_;
    unsigned idle_ = 0;
    std::atomic<int> hungry_{0};
    bool finishing_ = false;
    TreeTotals totals_;
};

TreeMeasure::TreeMeasure(Options options) : options_(std::move(options)) {}

TreeMeasure::~TreeMeasure() = default;

unsigned TreeMeasure::machineThreads() {
    return std::max(1u, std::thread::hardware_concurrency());
}

bool TreeMeasure::checkStop() {
    if (stopped_.load(std::memory_order_relaxed)) return true;
    if (options_.shouldStop && options_.shouldStop()) {
        stopped_.store(true, std::memory_order_relaxed);
        return true;
    }
    return false;
}

TreeTotals TreeMeasure::measurePath(const std::string& path) {
    if (checkStop()) return {};
    auto status = entryStatusAt(AT_FDCWD, path.c_str());
    if (!status) return {};
    if (status->kind != EntryKind::Directory) return {status->size, 0};
    int error = 0;
    FolderHandle folder = FolderHandle::openFolder(path, error);
    if (!folder.isOpen()) return {};
    return measureTop(std::move(folder), EntryVerdict::CleanAll, 0);
}

TreeTotals TreeMeasure::measureEntry(const FolderHandle& parent, const char* name, EntryKind kind,
                                     std::uint64_t size, EntryVerdict verdict, int depth) {
    if (verdict == EntryVerdict::Keep) return {};
    if (kind != EntryKind::Directory) return {verdict == EntryVerdict::Descend ? 0 : size, 0};
    if (checkStop()) return {};
    int error = 0;
    FolderHandle folder = FolderHandle::openChild(parent, name, options_.sameFileSystem, error);
    if (!folder.isOpen()) return {};
    return measureTop(std::move(folder), verdict, depth);
}

TreeTotals TreeMeasure::measureTop(FolderHandle folder, EntryVerdict verdict, int depth) {
    TreeTotals totals;
    measureFolder(folder, verdict, depth, totals);
    if (crew_) {
        TreeTotals shared = crew_->finish();
        crew_.reset();
        totals.bytes += shared.bytes;
        totals.entries += shared.entries;
    }
    return totals;
}

void TreeMeasure::measureFolder(const FolderHandle& folder, EntryVerdict verdict, int depth,
                                TreeTotals& totals) {
    if (checkStop()) return;
    // Only the calling thread runs before the crew exists, so it alone counts and starts it.
    if (!crew_ && options_.threads > 1 && ++foldersSeen_ == kFoldersBeforeHelp) {
        crew_ = std::make_unique<Crew>(*this, options_.threads - 1);
    }
    DirectoryReader reader(folder.fd());
    DirectoryReader::Entry entry;
    while (reader.next(entry)) {
        if (options_.stopAtEveryEntry && checkStop()) return;
        auto kind = entryKindFromListing(entry.type);
        std::uint64_t size = 0;
        if (!kind || *kind != EntryKind::Directory) {
            auto status = entryStatusAt(folder.fd(), entry.name);
            if (!status) continue;  // gone since the listing
            kind = status->kind;
            size = status->size;
        }
        EntryVerdict childVerdict = EntryVerdict::CleanAll;
        if (options_.judge) {
            childVerdict = options_.judge->judge({entry.name, *kind, depth + 1, verdict});
            if (childVerdict == EntryVerdict::Keep) continue;
        }
        if (childVerdict != EntryVerdict::Descend) totals.entries += 1;
        if (*kind != EntryKind::Directory) {
            if (childVerdict != EntryVerdict::Descend) totals.bytes += size;
            continue;
        }
        int error = 0;
        FolderHandle child =
            FolderHandle::openChild(folder, entry.name, options_.sameFileSystem, error);
        if (!child.isOpen()) continue;
        if (crew_ && crew_->wantsWork()) {
            crew_->offer({std::move(child), childVerdict, depth + 1});
            continue;
        }
        measureFolder(child, childVerdict, depth + 1, totals);
        if (stopped_) return;
    }
}

}  // namespace quillby
