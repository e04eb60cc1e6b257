// SPDX-License-Identifier: GPL-3.0-or-later
#include "duplicates/DuplicateFilesOpt.h"

#include <algorithm>
#include <chrono>
#include <thread>

#include "duplicates/DuplicateLog.h"
#include "duplicates/PathComponents.h"
#include "duplicates/duplicateFind.h"

namespace quillby {

namespace {

// The children are gathered first, so that each list is made once at its size: a result holds
// thousands of small groups.
TreeNode::Ptr bundleGroupNode(const std::vector<AppAttrbItem>& group) {
    auto data = SimpleNodeData::groupDataWithName(group.back().DirectoryName);
    data->isBundle = true;
    std::vector<TreeNode::Ptr> members;
    members.reserve(group.size());
    for (const AppAttrbItem& bundle : group) {
        auto leaf = SimpleNodeData::leafDataWithName(bundle.DirectoryPathName);
        leaf->fileSize = bundle.DirectorySize;
        data->fileSize += bundle.DirectorySize;
        members.push_back(TreeNode::treeNodeWithData(leaf));
    }
    return TreeNode::initWithData(data, nullptr, std::move(members));
}

TreeNode::Ptr fileLeaf(CandidateFile& item) {
    auto leaf = SimpleNodeData::leafDataWithName(std::move(item.filePathName));
    leaf->fileSize = item.fileSize;
    leaf->ModificationDate = item.ModificationDate;
    return TreeNode::treeNodeWithData(leaf);
}

// Takes the run's paths over, so the members are left without them.
TreeNode::Ptr fileGroupNode(std::vector<CandidateFile>& run) {
    CandidateFile& first = run.front();
    auto data = SimpleNodeData::groupDataWithName(std::string(first.fileName()));
    std::vector<TreeNode::Ptr> members;
    members.reserve(run.size());
    auto add = [&](CandidateFile& item) {
        data->fileSize += item.fileSize;
        members.push_back(fileLeaf(item));
    };
    for (size_t i = 1; i < run.size(); ++i) add(run[i]);
    add(first);
    return TreeNode::initWithData(data, nullptr, std::move(members));
}

}  // namespace

DuplicateFilesOpt::DuplicateFilesOpt() {
    options_.includeHidden = true;
    options_.includeSystem = true;
}

DuplicateFilesOpt::~DuplicateFilesOpt() = default;

void DuplicateFilesOpt::setSearchOption(const DuplicateSearchOptions& options) {
    options_ = options;
}

void DuplicateFilesOpt::beginSearchAtPath(const std::string& root, std::uint64_t limit) {
    KVT_LOG(" -INFO:search Path:%s  limitedsize:%llu", root.c_str(),
            static_cast<unsigned long long>(limit));
    std::shared_ptr<duplicateFind> search;
    {
        std::lock_guard lock(searchMutex_);
        if (m_findDuplicate) {
            KVT_LOG(" error need reinit");
            return;
        }
        m_CurrentSearchPath = root;
        search = std::make_shared<duplicateFind>(options_);
        m_findDuplicate = search;
        if (stopped_.load(std::memory_order_relaxed)) search->stopSearch();
    }
    if (!options_.onProgress) {
        search->searchDuplicateFileAtPath(root, limit);
        return;
    }
    // The counters the search keeps are read on a reporter thread, so the search itself never
    // waits for whoever listens.
    std::uint32_t shown = 0;
    std::string shownPath;
    auto report = [&] {
        std::uint32_t percent = std::max(shown, getProgress());
        std::string path = getCurrentSearchFile();
        if (percent == shown && path == shownPath) return;
        shown = percent;
        shownPath = path;
        options_.onProgress(percent, path);
    };
    {
        std::jthread reporter([&](std::stop_token done) {
            while (!done.stop_requested()) {
                report();
                std::this_thread::sleep_for(std::chrono::milliseconds(100));
            }
        });
        search->searchDuplicateFileAtPath(root, limit);
    }
    report();
}

std::uint32_t DuplicateFilesOpt::getProgress() const {
    std::lock_guard lock(searchMutex_);
    return m_findDuplicate ? m_findDuplicate->getProgress() : 0;
}

std::string DuplicateFilesOpt::getCurrentSearchFile() const {
    std::lock_guard lock(searchMutex_);
    if (m_findDuplicate) {
        std::string path = m_findDuplicate->getCurrentSearchPath();
        if (!path.empty()) return path;
    }
    return m_CurrentSearchPath;
}

void DuplicateFilesOpt::stopSearch() {
    stopped_.store(true, std::memory_order_relaxed);
    std::lock_guard lock(searchMutex_);
    if (m_findDuplicate) m_findDuplicate->stopSearch();
}

std::vector<FolderNotListed> DuplicateFilesOpt::foldersNotSearched() const {
    std::lock_guard lock(searchMutex_);
    return m_findDuplicate ? m_findDuplicate->foldersNotListed() : std::vector<FolderNotListed>{};
}

bool DuplicateFilesOpt::getDuplicateFiles(TreeNode::Ptr& root) {
    std::shared_ptr<duplicateFind> search;
    {
        std::lock_guard lock(searchMutex_);
        search = m_findDuplicate;
    }
    if (!search) return false;
    // The result is large: the file groups are taken from the search and each is freed once its
    // rows exist, so the groups and the tree are never both whole in memory.
    auto runs = search->takeFileRuns();
    const auto& bundles = search->bundleGroups();
    if (runs.empty() && bundles.empty()) return false;

    // Groups come from the runs' own boundaries, never from where the whole checksum changes:
    // neighbouring runs of different sizes may share a checksum, and 0 is a checksum too.
    std::vector<TreeNode::Ptr> groups;
    groups.reserve(bundles.size() + runs.size());
    for (const auto& group : bundles) groups.push_back(bundleGroupNode(group));
    for (auto& run : runs) {
        groups.push_back(fileGroupNode(run));
        std::vector<CandidateFile>().swap(run);
    }
    root = TreeNode::initWithData(SimpleNodeData::groupDataWithName("Root"), nullptr,
                                  std::move(groups));
    return true;
}

}  // namespace quillby
