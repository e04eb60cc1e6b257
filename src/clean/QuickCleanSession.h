// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "clean/CleanFailure.h"
#include "clean/CleanFolder.h"
#include "clean/DeleteFolderOperation.h"
#include "core/fs/TreeMeasure.h"
#include "core/work/BackgroundJob.h"
#include "core/work/OperationQueue.h"

namespace quillby {

// The closing figures of a quick clean.
struct QuickCleanResult {
    std::uint64_t fileCount = 0;     // entries the scan found
    std::uint64_t totalSize = 0;     // bytes the scan found
    std::uint64_t cleanedCount = 0;  // entries gone afterwards
    std::uint64_t cleanedSize = 0;   // bytes gone afterwards
    // Every item reported as not deleted, with why (its category is not known here: -1).
    std::vector<CleanFailure> failures;
    bool cancelled = false;
};

// Runs the quick clean of a set of category folders on a serial queue of its own: the
// scan (BrowseFolderOperation), then the folder-emptying operation, then a second scan, so that
// the closing figures say what really went rather than what was hoped to go.
class QuickCleanSession {
  public:
    QuickCleanSession(std::vector<CleanFolder> folders, DeleteFolderOperation::Options options);

    // Measures what the folders hold that may be cleaned; `onFolder` hears of each folder as it
    // starts. Blocks until done.
    TreeTotals scan(const std::function<void(const std::string& folder)>& onFolder = {});
    // Empties the folders (after scan()), reporting progress on the operation's thread, and
    // gives the closing figures. Blocks until done.
    QuickCleanResult clean(const std::function<void(const JobProgress&)>& onProgress = {});
    // Stops the scan or the deletion (from any thread); it ends at its next entry, and a
    // deletion not yet begun never starts. The measuring after a deletion always runs to its
    // end, so that the closing figures stay true after a stop.
    void cancel();

  private:
    TreeTotals measure(const std::function<void(const std::string&)>& onFolder, bool stoppable);
    // Queues `operation`, stoppable by cancel() unless it is the closing measure, and waits.
    void run(const std::shared_ptr<Operation>& operation, bool stoppable);

    std::vector<CleanFolder> folders_;
    DeleteFolderOperation::Options options_;
    TreeTotals scanned_;
    std::mutex mutex_;
    std::shared_ptr<Operation> stoppable_;
    bool cancelled_ = false;
    OperationQueue queue_;
};

}  // namespace quillby
