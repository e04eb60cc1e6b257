// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <sys/types.h>
#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "duplicates/CandidateFile.h"
#include "duplicates/FolderListing.h"
#include "duplicates/WalkExclusions.h"

namespace quillby {

class WorkStealingPool;

// A path found by the walk with the attributes the listing needs (read without following
// links; a folder's own attributes come from listing it).
struct ListedPath {
    std::string path;
    bool isFolder = false;
    bool isRegularFile = false;
    std::uint64_t size = 0;
    SimpleNodeData::Date modified{};
};

// A folder the walk could not list.
struct FolderNotListed {
    std::string path;
    int error = 0;
};

// Lists the candidate files of a duplicate search below a chosen folder, and the application
// bundles (folders named *.app in any letter case) found on the way. Symbolic links are never
// followed below the chosen folder itself, kernel pseudo file systems (proc, sysfs, ...) are
// not entered, and a folder that is its own ancestor (a bind-mount loop) is not entered again.
// One walker serves one search; stopSearch() may come from any thread.
//
// A folder that cannot be listed is left out and remembered with the reason, so that a search
// that missed part of the tree can say so.
class getFileList {
  public:
    // A walker for one search: `pool` walks the folders below the first level concurrently
    // (the result is the same as without it); without a pool it walks on the calling thread.
    explicit getFileList(WorkStealingPool* pool = nullptr);
    ~getFileList();

    // Include hidden items (any path component starting with ".") and the system folders at
    // the top of "/" ("Library", "Developer", "System", "Volumes", "bin", "sbin" and the
    // Linux ones: "usr", "etc", "var", "boot", "opt", "lib", "lib32", "lib64", "libx32", "srv",
    // "snap", "dev", "proc", "sys", "run", "tmp", "lost+found").
    void setSearchOptions(bool includeHidden, bool includeSystem);
    // getListAtPath() leaves out a file whose size no other listed file has: it cannot have a
    // copy, and a search holds every listed file in memory.
    void setOnlyFilesSharingASize(bool only) { onlyFilesSharingASize_ = only; }
    // What the walk leaves out: neither listed nor opened, at any depth (see WalkExclusions).
    void setExclusions(WalkExclusions exclusions) { exclusions_ = std::move(exclusions); }

    // Appends to `files` every regular file below `root` strictly larger than `limit` bytes,
    // in walk order, and to `bundles` every bundle with an item larger than `limit`. False
    // (nothing listed) when the root cannot be listed; true also when stopped.
    bool getListAtPath(const std::string& root, std::vector<CandidateFile>& files,
                       std::vector<std::string>& bundles, std::uint64_t limit);
    // The walk: every item below `root`, each folder after its contents, first-level folders
    // themselves left out. False when the root cannot be listed.
    bool getDirectoryAtPath(const std::string& root, std::vector<ListedPath>& result);

    // True when any component of the path starts with ".".
    static bool IsHiddenFile(std::string_view path);
    // True when the first component of the path is one of the system folder names (any case).
    static bool IsSystemDirectory(std::string_view path);
    // The bundle a path lies in: the path up to its first component whose extension is "app"
    // in any letter case; empty when there is none.
    static std::string_view bundlePathOf(std::string_view path);
    // True when the item lies in a bundle; the bundle is added to `bundles` (once) when the
    // item's own size exceeds `limit` and no part of it was excluded.
    bool getAppDirectory(const ListedPath& item, std::vector<std::string>& bundles,
                         std::uint64_t limit);

    void stopSearch() { m_bStopSearch.store(true, std::memory_order_relaxed); }
    bool isStopped() const { return m_bStopSearch.load(std::memory_order_relaxed); }
    // The folder being listed now, as a copy.
    std::string m_CurrentPath() const;
    // The folders below the root that could not be listed, with the errno that said why, in
    // no particular order. A stop leaves folders out without naming them here.
    std::vector<FolderNotListed> foldersNotListed() const;

  private:
    struct WalkedFolder;
    void setCurrentPath(const std::string& path);
    static void addSubfolder(WalkedFolder& parent, std::string path,
                             std::vector<WalkedFolder*>& toWalk);
    void listWalkedFolder(WalkedFolder& folder, std::vector<WalkedFolder*>& subfolders);
    void walkOnThisThread(WalkedFolder& folder);
    void walkOnPool(const std::vector<WalkedFolder*>& folders);
    void submitWalk(WalkedFolder* folder);
    bool skipsHiddenName(std::string_view name) const;
    // Notes that an entry of `folder` was excluded (from any walking thread).
    void leftOutIn(const std::string& folder);
    // Lists `root` and walks below it; false when the root cannot be listed.
    bool walkTree(const std::string& root, WalkedFolder& top);
    // Give the walked items in walk order to `visit`, with their paths, freeing the tree as they
    // go. Until then a file is named by its last component only: a walk holds every entry of
    // the tree, and the paths are made one at a time.
    template <class Visit>
    static void visitFile(const WalkedFolder& folder, ListedPath& file, Visit& visit);
    template <class Visit>
    static bool assemble(WalkedFolder& folder, Visit& visit);
    template <class Visit>
    static void assembleTop(WalkedFolder& top, Visit& visit);
    // What a folder's path says of the files in it: a component is hidden, or it lies in a
    // bundle.
    struct FolderPath {
        bool hidden = false;
        bool inBundle = false;
    };
    // Every file of the walked tree, still named by its last component, with what its folder's
    // path says, folders' own entries aside, in walk order.
    template <class Visit>
    static void forEachWalkedFile(const WalkedFolder& folder, Visit& visit);
    // The size of every file getListAtPath() takes from the walk, other files aside, in order.
    std::vector<std::uint64_t> candidateSizes(const WalkedFolder& top, std::uint64_t limit) const;
    // Keeps one of each size found at least twice in `sizes` (in order); gives how many files
    // have one of them.
    static std::size_t keepSizesFoundTwice(std::vector<std::uint64_t>& sizes);
    // What getListAtPath() asks of a file itself, its path and the sizes of others aside.
    static bool isCandidateFile(const ListedPath& item, std::uint64_t limit);
    // Whether getListAtPath() takes a walked file in `folder` (sizes aside): the rules it applies
    // to the whole path, read from the folder's part and the name.
    bool isCandidateIn(const FolderPath& folder, const ListedPath& file, std::uint64_t limit) const;

    WorkStealingPool* pool_;
    std::atomic<bool> m_bStopSearch{false};
    bool m_bSearchHiddenFile = false;
    bool m_bSearchSystemDirectory = false;
    bool onlyFilesSharingASize_ = false;
    WalkExclusions exclusions_;
    mutable std::mutex currentPathMutex_;
    std::string m_CurrentPath_;
    std::vector<FolderNotListed> notListed_;
    std::unordered_set<std::string> knownBundles_;
    std::unordered_set<std::string> partlyExcluded_;  // bundles not listed: a part is left out
};

}  // namespace quillby
