// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "duplicates/AppAttrbItem.h"
#include "duplicates/CandidateFile.h"
#include "duplicates/DuplicateSearchOptions.h"
#include "duplicates/TreeNode.h"
#include "duplicates/getFileList.h"

namespace quillby {

class duplicateFind;

// What the duplicate page and the command line use: one search per object, run on a worker
// thread, with progress, the current path and stop for other threads, and the result as a
// two-level tree (groups, then their members).
class DuplicateFilesOpt {
  public:
    DuplicateFilesOpt();
    ~DuplicateFilesOpt();

    // Options for the next search (include hidden items, include system folders, threads).
    void setSearchOption(const DuplicateSearchOptions& options);
    // Runs the whole search on the calling thread. Does nothing (logged) when this object has
    // already searched.
    void beginSearchAtPath(const std::string& root, std::uint64_t limit);
    // 0 to 100; 0 before the search exists.
    std::uint32_t getProgress() const;
    // The path being examined, or the last one known.
    std::string getCurrentSearchFile() const;
    // Ends the search at its next step; a stop that comes before the search starts is kept.
    void stopSearch();

    // Builds the result tree: a root "Root" with one group per set of equal bundles, then one
    // per set of equal files, in the order found. A file group is named after its first run
    // member's file name with that name's extension; its leaves are the run's later members
    // and then its first, named by path. False (root untouched) when nothing was found. The
    // file groups are handed over: a second call gives only the bundle groups.
    bool getDuplicateFiles(TreeNode::Ptr& root);
    // The folders below the root that could not be searched, with the errno that said why;
    // ask once the search has returned.
    std::vector<FolderNotListed> foldersNotSearched() const;

  private:
    DuplicateSearchOptions options_;
    std::atomic<bool> stopped_{false};
    mutable std::mutex searchMutex_;
    std::shared_ptr<duplicateFind> m_findDuplicate;
    std::string m_CurrentSearchPath;
};

}  // namespace quillby
