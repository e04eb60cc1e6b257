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
#include "duplicates/getFileList.h"

namespace quillby {

class FindDuplicateApp;
class ParallelPairing;
class WorkStealingPool;
class getFileList;

// One duplicate search: lists the candidates below a folder, compares the bundles found there,
// then pairs the files by size, head checksum and whole checksum. A group of names of one file
// (hard links, one folder reached twice) is no group: it holds no second copy. The search runs on
// the calling thread (and a pool of its own); progress, the current path and stopSearch() may be
// used from any other thread meanwhile.
class duplicateFind {
  public:
    explicit duplicateFind(DuplicateSearchOptions options = {});
    ~duplicateFind();

    void setSearchOption(bool includeHidden, bool includeSystem);

    // Runs the whole search. Gives 1 when it ran to the end or was stopped, 0 when the root
    // could not be listed or held no candidate, and -1 (no search, nothing logged) when the
    // root is not an existing folder.
    int searchDuplicateFileAtPath(const std::string& root, std::uint64_t limit);

    // 0 to 100: the mean of the bundle phase's progress and the pairing's.
    std::uint32_t getProgress() const;
    // The folder being listed, else the bundle being compared, else the file examined last.
    std::string getCurrentSearchPath() const;
    // Asks the search to end at its next step; what was found so far stays available.
    void stopSearch();

    // Appends the groups of files found: one run per group, its later members in listing order
    // and then the member they were matched against.
    void getAllDuplicateFile(std::vector<std::vector<CandidateFile>>& runs) const;
    // Appends the groups of equal bundles.
    void getAllAppDuplicateDir(std::vector<std::vector<AppAttrbItem>>& groups) const;
    // The file groups handed over without a copy; the search keeps none afterwards.
    std::vector<std::vector<CandidateFile>> takeFileRuns() { return std::move(m_newFileArray); }
    // The bundle groups without a copy, valid while the search lives and does not run.
    const std::vector<std::vector<AppAttrbItem>>& bundleGroups() const { return m_allAppArray; }
    // The folders below the root that the listing could not read, with their errno; read it
    // once the search has returned.
    const std::vector<FolderNotListed>& foldersNotListed() const { return notListed_; }
    // The number of candidates when pairing began.
    std::size_t candidateCount() const { return m_allFileCount; }

  private:
    void runBundlePhase();
    void pairOneByOne();
    void pairInParallel(WorkStealingPool& pool);
    void setCurrentPath(const std::string& path);

    DuplicateSearchOptions options_;
    std::string m_path;
    std::uint64_t m_limittedSize = 0;
    std::vector<CandidateFile> m_allFileArray;
    std::vector<std::vector<CandidateFile>> m_newFileArray;
    std::vector<std::vector<AppAttrbItem>> m_allAppArray;
    std::vector<std::string> DirectoryArray;
    std::size_t m_allFileCount = 0;
    std::atomic<std::uint32_t> m_iProgress{0};
    std::atomic<std::uint32_t> m_iAppProgress{0};
    std::atomic<bool> m_Stop{false};

    // The phase objects exist only while their phase runs; readers on other threads take a
    // reference under the mutex.
    mutable std::mutex phaseMutex_;
    std::shared_ptr<getFileList> m_fileList;
    std::shared_ptr<FindDuplicateApp> m_findDuplicateApp;
    std::shared_ptr<ParallelPairing> pairing_;
    std::string m_CurrentSearchPath;
    std::vector<FolderNotListed> notListed_;
};

}  // namespace quillby
