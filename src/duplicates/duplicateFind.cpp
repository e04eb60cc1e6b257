// SPDX-License-Identifier: GPL-3.0-or-later
#include "duplicates/duplicateFind.h"

#include <malloc.h>
#include <sys/stat.h>
#include <algorithm>
#include <optional>

#include "core/work/WorkStealingPool.h"
#include "duplicates/DuplicateLog.h"
#include "duplicates/FindDuplicateApp.h"
#include "duplicates/MemberIdentity.h"
#include "duplicates/ParallelPairing.h"
#include "duplicates/algorithm.h"
#include "duplicates/getFileList.h"

namespace quillby {

namespace {

bool isExistingFolder(const std::string& path) {
    struct stat status {};
    return ::stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

// True when every member of a run is a name of one file (hard links, or one folder reached
// twice through a bind mount): there is no copy to remove, only names, and removing one frees
// nothing or loses the file. A member that cannot be read counts as a file of its own.
bool namesOneFile(const std::vector<CandidateFile>& run) {
    std::optional<FileIdentity> first;
    for (const auto& member : run) {
        auto identity = readFileIdentity(member.filePathName);
        if (!identity || (first && !(*identity == *first))) return false;
        if (!first) first = identity;
    }
    return true;
}

}  // namespace

duplicateFind::duplicateFind(DuplicateSearchOptions options) : options_(options) {}

duplicateFind::~duplicateFind() = default;

void duplicateFind::setSearchOption(bool includeHidden, bool includeSystem) {
    options_.includeHidden = includeHidden;
    options_.includeSystem = includeSystem;
}

std::uint32_t duplicateFind::getProgress() const {
    std::uint32_t bundles = m_iAppProgress.load(std::memory_order_relaxed);
    std::uint32_t files = m_iProgress.load(std::memory_order_relaxed);
    {
        std::lock_guard lock(phaseMutex_);
        if (m_findDuplicateApp) bundles = m_findDuplicateApp->m_Progress();
        if (pairing_) files = pairing_->progress();
    }
    return (bundles + files) / 2;
}

std::string duplicateFind::getCurrentSearchPath() const {
    std::lock_guard lock(phaseMutex_);
    if (m_fileList) return m_fileList->m_CurrentPath();
    if (m_findDuplicateApp) return m_findDuplicateApp->m_CurrentSearchFile();
    if (pairing_) return pairing_->currentPath();
    return m_CurrentSearchPath;
}

void duplicateFind::setCurrentPath(const std::string& path) {
    std::lock_guard lock(phaseMutex_);
    m_CurrentSearchPath = path;
}

void duplicateFind::stopSearch() {
    m_Stop.store(true, std::memory_order_relaxed);
    std::lock_guard lock(phaseMutex_);
    if (m_fileList) m_fileList->stopSearch();
    if (m_findDuplicateApp) m_findDuplicateApp->setM_StopSearch(true);
}

void duplicateFind::getAllDuplicateFile(std::vector<std::vector<CandidateFile>>& runs) const {
    runs.insert(runs.end(), m_newFileArray.begin(), m_newFileArray.end());
}

void duplicateFind::getAllAppDuplicateDir(std::vector<std::vector<AppAttrbItem>>& groups) const {
    groups.insert(groups.end(), m_allAppArray.begin(), m_allAppArray.end());
}

void duplicateFind::runBundlePhase() {
    auto finder = std::make_shared<FindDuplicateApp>();
    {
        std::lock_guard lock(phaseMutex_);
        m_findDuplicateApp = finder;
        if (m_Stop.load(std::memory_order_relaxed)) finder->setM_StopSearch(true);
    }
    finder->FindAppInArray(DirectoryArray, m_allAppArray);
    std::lock_guard lock(phaseMutex_);
    m_findDuplicateApp.reset();
}

void duplicateFind::pairOneByOne() {
    algorithm steps;
    std::vector<CandidateFile*> remaining;
    remaining.reserve(m_allFileArray.size());
    for (auto& item : m_allFileArray) remaining.push_back(&item);
    const std::size_t total = remaining.size();
    while (!m_Stop.load(std::memory_order_relaxed)) {
        CandidateFile* item = remaining.front();
        remaining.erase(remaining.begin());
        setCurrentPath(item->filePathName);
        if (remaining.empty()) break;
        std::vector<CandidateFile*> run;
        if (steps.getDuplicateFile(*item, remaining, run) && !run.empty()) {
            std::erase_if(remaining, [&](CandidateFile* other) {
                return std::find(run.begin(), run.end(), other) != run.end();
            });
            std::vector<CandidateFile> copies;
            for (CandidateFile* member : run) copies.push_back(*member);
            m_newFileArray.push_back(std::move(copies));
        }
        m_iProgress.store(static_cast<std::uint32_t>((total - remaining.size()) * 100 / total),
                          std::memory_order_relaxed);
        if (remaining.empty()) break;
    }
}

void duplicateFind::pairInParallel(WorkStealingPool& pool) {
    auto pairing = std::make_shared<ParallelPairing>(pool, m_Stop);
    {
        std::lock_guard lock(phaseMutex_);
        pairing_ = pairing;
    }
    pairing->findRuns(m_allFileArray, m_newFileArray);
    m_iProgress.store(pairing->progress(), std::memory_order_relaxed);
    std::lock_guard lock(phaseMutex_);
    m_CurrentSearchPath = pairing->currentPath();
    pairing_.reset();
}

int duplicateFind::searchDuplicateFileAtPath(const std::string& root, std::uint64_t limit) {
    if (!isExistingFolder(root)) return -1;
    std::stop_callback onStop(options_.stop, [this] { stopSearch(); });
    m_path = root;
    m_limittedSize = limit;

    // Without its files cached, the search mostly waits for the disk: more threads than cores
    // keep requests queued there (the large reads stay at one per core, see ParallelPairing).
    std::unique_ptr<WorkStealingPool> pool;
    if (!options_.oneFileAtATime) {
        pool = std::make_unique<WorkStealingPool>(
            options_.threadCount ? options_.threadCount : WorkStealingPool::defaultThreadCount());
    }
    auto walker = std::make_shared<getFileList>(pool.get());
    walker->setSearchOptions(options_.includeHidden, options_.includeSystem);
    walker->setOnlyFilesSharingASize(true);
    WalkExclusions exclusions(options_.excludes);
    for (const auto& path : exclusions.unreadable())
        KVT_LOG("exclusion not found:%s", path.c_str());
    walker->setExclusions(std::move(exclusions));
    {
        std::lock_guard lock(phaseMutex_);
        m_fileList = walker;
        if (m_Stop.load(std::memory_order_relaxed)) walker->stopSearch();
    }
    bool listed = walker->getListAtPath(root, m_allFileArray, DirectoryArray, limit);
    notListed_ = walker->foldersNotListed();
    // The walk's folders were made and freed on the pool's threads, whose heaps keep freed
    // memory unless asked: it goes back before the reads and the result need memory.
    ::malloc_trim(0);
    {
        std::lock_guard lock(phaseMutex_);
        m_fileList.reset();
    }
    if (!DirectoryArray.empty() && !m_Stop.load(std::memory_order_relaxed)) {
        runBundlePhase();
    }
    m_iAppProgress.store(100, std::memory_order_relaxed);

    int result = 1;
    if (!listed) {
        result = 0;
    } else if (m_Stop.load(std::memory_order_relaxed)) {
        result = 1;
    } else if (m_allFileArray.empty()) {
        result = 0;
    } else {
        m_allFileCount = m_allFileArray.size();
        if (pool) {
            pairInParallel(*pool);
        } else {
            pairOneByOne();
        }
        // Pairing compares content; names of one file are equal by it, yet no copies.
        std::erase_if(m_newFileArray, namesOneFile);
        // The runs hold their members: the other candidates are not needed any more. The
        // threads go first, so that what they kept for reuse is free to go back too.
        std::vector<CandidateFile>().swap(m_allFileArray);
        pool.reset();
        ::malloc_trim(0);
        if (!m_Stop.load(std::memory_order_relaxed)) {
            m_iProgress.store(100, std::memory_order_relaxed);
        }
    }
    KVT_LOG("findDuplicate result:%d", result);
    return result;
}

}  // namespace quillby
