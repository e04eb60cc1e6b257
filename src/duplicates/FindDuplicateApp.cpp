// SPDX-License-Identifier: GPL-3.0-or-later
#include "duplicates/FindDuplicateApp.h"

#include <sys/stat.h>

#include "duplicates/DuplicateLog.h"
#include "duplicates/FolderListing.h"
#include "duplicates/PathComponents.h"
#include "duplicates/algorithm.h"

namespace quillby {

namespace {

struct FolderIdentity {
    dev_t device;
    ino_t inode;
};

bool listInto(const std::string& folder, dev_t parentDevice, std::vector<FolderIdentity>& above,
              AppAttrbItem& bundle) {
    FolderContents contents;
    if (!listFolder(folder, false, parentDevice, contents)) return false;
    if (contents.kernelFileSystem) return true;
    for (const auto& identity : above) {
        if (identity.device == contents.self.st_dev && identity.inode == contents.self.st_ino) {
            return true;  // a bind-mount loop: the folder is already being listed
        }
    }
    above.push_back({contents.self.st_dev, contents.self.st_ino});
    bool listed = true;
    for (ListedEntry& entry : contents.entries) {
        if (entry.vanished) continue;
        std::string path = appendPathComponent(folder, entry.name);
        if (entry.kind == EntryKind::Directory) {
            listed = listInto(path, contents.self.st_dev, above, bundle) && listed;
            continue;
        }
        if (entry.kind == EntryKind::Symlink) {
            struct stat target {};
            if (::stat(path.c_str(), &target) == 0 && S_ISDIR(target.st_mode)) continue;
        }
        CandidateFile item;
        item.filePathName = std::move(path);
        item.fileSize = entry.size;
        item.ModificationDate = entry.modified;
        item.isSymbolicLink = entry.kind == EntryKind::Symlink;
        bundle.DirectorySize += item.fileSize;
        bundle.AllFileInDirectory.push_back(std::move(item));
    }
    above.pop_back();
    return listed;
}

}  // namespace

bool FindDuplicateApp::listBundle(const std::string& path, AppAttrbItem& bundle) {
    bundle = AppAttrbItem{};
    bundle.DirectoryPathName = path;
    bundle.DirectoryName = std::string(lastPathComponent(path));
    std::vector<FolderIdentity> above;
    return listInto(path, 0, above, bundle);
}

std::string FindDuplicateApp::m_CurrentSearchFile() const {
    std::lock_guard lock(currentMutex_);
    return currentSearchFile_;
}

bool FindDuplicateApp::CompareDir(AppAttrbItem& a, AppAttrbItem& b) {
    if (a.AllFileInDirectory.size() != b.AllFileInDirectory.size()) return false;
    algorithm checksums;
    for (auto* bundle : {&a, &b}) {
        for (auto& item : bundle->AllFileInDirectory) {
            if (item.md5_1k == 0 && !checksums.getMD5_1K(item)) return false;
        }
    }
    std::vector<CandidateFile*> unmatched;
    for (auto& item : b.AllFileInDirectory) unmatched.push_back(&item);
    for (auto& x : a.AllFileInDirectory) {
        bool found = false;
        for (auto it = unmatched.begin(); it != unmatched.end(); ++it) {
            CandidateFile& y = **it;
            if (y.md5_1k != x.md5_1k || y.fileSize != x.fileSize) continue;
            // Empty items have no whole checksum; equal sizes of 0 already say they match.
            if (x.fileSize != 0) {
                if (x.md5 == 0 && !checksums.getMD5(x)) return false;
                if (y.md5 == 0 && !checksums.getMD5(y)) continue;
                if (y.md5 != x.md5) continue;
            }
            unmatched.erase(it);
            found = true;
            break;
        }
        if (!found) return false;
    }
    return true;
}

bool FindDuplicateApp::FindAppInArray(const std::vector<std::string>& paths,
                                      std::vector<std::vector<AppAttrbItem>>& groups) {
    m_AllAppItem.clear();
    for (const std::string& path : paths) {
        AppAttrbItem bundle;
        if (listBundle(path, bundle)) {
            m_AllAppItem.push_back(std::move(bundle));
        } else {
            KVT_LOG("list bundle failed:%s", path.c_str());
        }
    }
    m_AppCount = paths.size();
    if (m_AllAppItem.empty()) return false;
    while (!m_AllAppItem.empty() && !stop_.load(std::memory_order_relaxed)) {
        AppAttrbItem first = std::move(m_AllAppItem.front());
        m_AllAppItem.erase(m_AllAppItem.begin());
        {
            std::lock_guard lock(currentMutex_);
            currentSearchFile_ = first.DirectoryPathName;
        }
        std::vector<AppAttrbItem> group;
        for (auto it = m_AllAppItem.begin(); it != m_AllAppItem.end();) {
            if (it->DirectorySize == first.DirectorySize && CompareDir(first, *it)) {
                group.push_back(std::move(*it));
                it = m_AllAppItem.erase(it);
            } else {
                ++it;
            }
        }
        if (!group.empty()) {
            group.push_back(std::move(first));
            groups.push_back(std::move(group));
        }
        progress_.store(
            static_cast<std::uint32_t>((m_AppCount - m_AllAppItem.size()) * 100 / m_AppCount),
            std::memory_order_relaxed);
    }
    return true;
}

}  // namespace quillby
