// SPDX-License-Identifier: GPL-3.0-or-later
#include "duplicates/getFileList.h"

#include <sys/stat.h>

#include <algorithm>
#include <system_error>

#include "core/work/WorkStealingPool.h"
#include "duplicates/DuplicateLog.h"
#include "duplicates/PathComponents.h"

namespace quillby {

namespace {

// The system's own folders at the top of "/": programs, libraries, configuration, variable
// data, kernel file systems and scratch space, where no user keeps the copies they look for.
constexpr std::string_view kSystemFolderNames[] = {
    "Library", "Developer", "System", "Volumes", "bin",   "sbin",  "usr",       "etc",
    "var",     "boot",      "opt",    "lib",     "lib32", "lib64", "libx32",    "srv",
    "snap",    "dev",       "proc",   "sys",     "run",   "tmp",   "lost+found"};

std::string errorText(int error) {
    return std::generic_category().message(error);
}

// A file of a walked folder, named by its last component until the walk is assembled.
ListedPath listedFile(ListedEntry& entry) {
    return ListedPath{std::move(entry.name), false, entry.kind == EntryKind::Regular, entry.size,
                      entry.modified};
}

}  // namespace

// One folder below the first level: its state, its own attributes and its items in listing
// order (files, and subfolders with their own items).
struct getFileList::WalkedFolder {
    enum class State { Pending, Listed, Failed, Skipped };
    struct Item {
        ListedPath file;
        std::unique_ptr<WalkedFolder> folder;
    };

    std::string path;
    const WalkedFolder* parent = nullptr;
    dev_t parentDevice = 0;
    dev_t device = 0;
    ino_t inode = 0;
    State state = State::Pending;
    ListedPath self;
    std::vector<Item> items;
};

getFileList::getFileList(WorkStealingPool* pool) : pool_(pool) {}

getFileList::~getFileList() = default;

void getFileList::setSearchOptions(bool includeHidden, bool includeSystem) {
    m_bSearchHiddenFile = includeHidden;
    m_bSearchSystemDirectory = includeSystem;
}

std::string getFileList::m_CurrentPath() const {
    std::lock_guard lock(currentPathMutex_);
    return m_CurrentPath_;
}

std::vector<FolderNotListed> getFileList::foldersNotListed() const {
    std::lock_guard lock(currentPathMutex_);
    return notListed_;
}

void getFileList::setCurrentPath(const std::string& path) {
    std::lock_guard lock(currentPathMutex_);
    m_CurrentPath_ = path;
}

bool getFileList::IsHiddenFile(std::string_view path) {
    for (std::string_view component : pathComponents(path)) {
        if (component.front() == '.') return true;
    }
    return false;
}

bool getFileList::IsSystemDirectory(std::string_view path) {
    auto components = pathComponents(path);
    if (components.empty()) return false;
    for (std::string_view name : kSystemFolderNames) {
        if (equalsIgnoringCase(components.front(), name)) return true;
    }
    return false;
}

std::string_view getFileList::bundlePathOf(std::string_view path) {
    size_t start = 0;
    while (start < path.size()) {
        size_t slash = path.find('/', start);
        if (slash == std::string_view::npos) slash = path.size();
        std::string_view component = path.substr(start, slash - start);
        if (!component.empty() && equalsIgnoringCase(pathExtension(component), "APP")) {
            return path.substr(0, slash);
        }
        start = slash + 1;
    }
    return {};
}

bool getFileList::getAppDirectory(const ListedPath& item, std::vector<std::string>& bundles,
                                  std::uint64_t limit) {
    std::string_view bundle = bundlePathOf(item.path);
    if (bundle.empty()) return false;
    if (item.size > limit && !partlyExcluded_.contains(std::string(bundle))) {
        std::string path(bundle);
        if (knownBundles_.insert(path).second) bundles.push_back(std::move(path));
    }
    return true;
}

bool getFileList::skipsHiddenName(std::string_view name) const {
    // Everything below a hidden name is hidden too, so leaving it out of the walk changes no
    // result: the listing would drop all of it.
    return !m_bSearchHiddenFile && name.front() == '.';
}

void getFileList::leftOutIn(const std::string& folder) {
    // A bundle is compared, and removed from the page, as a whole: one with a part left out
    // would bring that part along.
    std::string_view bundle = bundlePathOf(folder);
    if (bundle.empty()) return;
    std::lock_guard lock(currentPathMutex_);
    partlyExcluded_.emplace(bundle);
}

void getFileList::addSubfolder(WalkedFolder& parent, std::string path,
                               std::vector<WalkedFolder*>& toWalk) {
    auto child = std::make_unique<WalkedFolder>();
    child->path = std::move(path);
    child->parent = &parent;
    child->parentDevice = parent.device;
    toWalk.push_back(child.get());
    parent.items.push_back({{}, std::move(child)});
}

void getFileList::listWalkedFolder(WalkedFolder& folder, std::vector<WalkedFolder*>& subfolders) {
    if (isStopped()) {
        folder.state = WalkedFolder::State::Failed;
        return;
    }
    setCurrentPath(folder.path);
    FolderContents contents;
    if (!listFolder(folder.path, false, folder.parentDevice, contents,
                    exclusions_.judgesIdentity())) {
        KVT_LOG("get contents Of Directory At Path failed %s: %s", folder.path.c_str(),
                errorText(contents.error).c_str());
        folder.state = WalkedFolder::State::Failed;
        std::lock_guard lock(currentPathMutex_);
        notListed_.push_back({folder.path, contents.error});
        return;
    }
    if (contents.kernelFileSystem) {
        folder.state = WalkedFolder::State::Skipped;
        return;
    }
    for (const WalkedFolder* above = folder.parent; above; above = above->parent) {
        if (above->device == contents.self.st_dev && above->inode == contents.self.st_ino) {
            KVT_LOG("folder loop skipped:%s", folder.path.c_str());
            folder.state = WalkedFolder::State::Skipped;
            return;
        }
    }
    folder.device = contents.self.st_dev;
    folder.inode = contents.self.st_ino;
    // The folder's own path is given to its entry when the walk is assembled.
    folder.self = ListedPath{{},
                             true,
                             false,
                             static_cast<std::uint64_t>(contents.self.st_size),
                             modificationDateOf(contents.self)};
    folder.items.reserve(contents.entries.size());
    for (ListedEntry& entry : contents.entries) {
        if (entry.kind == EntryKind::Symlink || entry.vanished) continue;
        if (skipsHiddenName(entry.name)) continue;
        if (exclusions_.excludes(entry)) {
            leftOutIn(folder.path);
            continue;
        }
        if (entry.kind == EntryKind::Directory) {
            addSubfolder(folder, appendPathComponent(folder.path, entry.name), subfolders);
        } else {
            folder.items.push_back({listedFile(entry), nullptr});
        }
    }
    folder.state = WalkedFolder::State::Listed;
}

void getFileList::walkOnThisThread(WalkedFolder& folder) {
    std::vector<WalkedFolder*> subfolders;
    listWalkedFolder(folder, subfolders);
    for (WalkedFolder* subfolder : subfolders) walkOnThisThread(*subfolder);
}

void getFileList::submitWalk(WalkedFolder* folder) {
    pool_->submit([this, folder](unsigned) {
        std::vector<WalkedFolder*> subfolders;
        listWalkedFolder(*folder, subfolders);
        // The pool runs the newest task first: submitting in reverse lists the first subfolder
        // next, which keeps the walk close to depth-first.
        for (auto it = subfolders.rbegin(); it != subfolders.rend(); ++it) submitWalk(*it);
    });
}

void getFileList::walkOnPool(const std::vector<WalkedFolder*>& folders) {
    if (!pool_) {
        for (WalkedFolder* folder : folders) walkOnThisThread(*folder);
        return;
    }
    for (auto it = folders.rbegin(); it != folders.rend(); ++it) submitWalk(*it);
    pool_->wait();
}

template <class Visit>
void getFileList::visitFile(const WalkedFolder& folder, ListedPath& file, Visit& visit) {
    file.path = appendPathComponent(folder.path, file.path);
    visit(file);
}

template <class Visit>
bool getFileList::assemble(WalkedFolder& folder, Visit& visit) {
    for (auto& item : folder.items) {
        if (!item.folder) {
            visitFile(folder, item.file, visit);
        } else if (assemble(*item.folder, visit)) {
            item.folder->self.path = std::move(item.folder->path);
            visit(item.folder->self);
        }
        item.folder.reset();  // memory goes back as the list grows
    }
    folder.items.clear();
    return folder.state == WalkedFolder::State::Listed;
}

template <class Visit>
void getFileList::assembleTop(WalkedFolder& top, Visit& visit) {
    // First-level folders contribute their contents, not themselves.
    for (auto& item : top.items) {
        if (item.folder) {
            assemble(*item.folder, visit);
        } else {
            visitFile(top, item.file, visit);
        }
        item.folder.reset();
    }
    top.items.clear();
}

bool getFileList::walkTree(const std::string& root, WalkedFolder& top) {
    setCurrentPath(root);
    FolderContents contents;
    if (!listFolder(root, true, 0, contents, exclusions_.judgesIdentity())) {
        KVT_LOG("get contents Of Directory At Path failed %s: %s", root.c_str(),
                errorText(contents.error).c_str());
        return false;
    }
    // Below a hidden root every path is hidden, and nothing lives in a kernel file system.
    if (contents.kernelFileSystem || (!m_bSearchHiddenFile && IsHiddenFile(root))) return true;
    if (exclusions_.excludesFolder(contents.self.st_dev, contents.self.st_ino)) return true;

    top.path = root;
    top.device = contents.self.st_dev;
    top.inode = contents.self.st_ino;
    top.state = WalkedFolder::State::Listed;
    // The system root is known by what it is, not by its spelling: "/proc/self/root", "//" or a
    // bind mount of "/" lead to the same folder, and its system folders stay out all the same.
    struct stat systemRoot {};
    bool atSystemRoot = ::stat("/", &systemRoot) == 0 && systemRoot.st_dev == top.device &&
                        systemRoot.st_ino == top.inode;
    std::vector<WalkedFolder*> folders;
    for (ListedEntry& entry : contents.entries) {
        if (entry.vanished) {
            KVT_LOG("directory not exsts:%s", appendPathComponent(root, entry.name).c_str());
            continue;
        }
        if (exclusions_.excludes(entry)) {
            leftOutIn(root);
            continue;
        }
        switch (entry.kind) {
            case EntryKind::Symlink:
                // Following it could list files outside the chosen folder, or the same files
                // twice under two names, where deleting one "copy" deletes the only one.
                KVT_LOG("symbolic link not followed:%s",
                        appendPathComponent(root, entry.name).c_str());
                break;
            case EntryKind::Directory: {
                std::string path = appendPathComponent(root, entry.name);
                if (!m_bSearchHiddenFile && IsHiddenFile(path)) break;
                if (!m_bSearchSystemDirectory && atSystemRoot && IsSystemDirectory(entry.name)) {
                    break;
                }
                addSubfolder(top, std::move(path), folders);
                break;
            }
            default:
                if (skipsHiddenName(entry.name)) break;
                top.items.push_back({listedFile(entry), nullptr});
        }
    }
    walkOnPool(folders);
    return true;
}

bool getFileList::getDirectoryAtPath(const std::string& root, std::vector<ListedPath>& result) {
    WalkedFolder top;
    if (!walkTree(root, top)) return false;
    auto append = [&result](ListedPath& item) { result.push_back(std::move(item)); };
    assembleTop(top, append);
    return true;
}

bool getFileList::isCandidateFile(const ListedPath& item, std::uint64_t limit) {
    // Only regular files: reading a fifo or device as content would hang or mislead.
    return !item.isFolder && item.isRegularFile && item.size > limit;
}

bool getFileList::isCandidateIn(const FolderPath& folder, const ListedPath& file,
                                std::uint64_t limit) const {
    // Hidden and in a bundle are rules on every component of the path: the folder's, then the
    // name's.
    return isCandidateFile(file, limit) &&
           (m_bSearchHiddenFile || (!folder.hidden && file.path.front() != '.')) &&
           !folder.inBundle && !equalsIgnoringCase(pathExtension(file.path), "APP");
}

template <class Visit>
void getFileList::forEachWalkedFile(const WalkedFolder& folder, Visit& visit) {
    const FolderPath path{IsHiddenFile(folder.path), !bundlePathOf(folder.path).empty()};
    for (const auto& item : folder.items) {
        if (item.folder) {
            forEachWalkedFile(*item.folder, visit);
        } else {
            visit(path, item.file);
        }
    }
}

std::vector<std::uint64_t> getFileList::candidateSizes(const WalkedFolder& top,
                                                       std::uint64_t limit) const {
    std::vector<std::uint64_t> sizes;
    auto collect = [&](const FolderPath& folder, const ListedPath& file) {
        if (isCandidateIn(folder, file, limit)) sizes.push_back(file.size);
    };
    forEachWalkedFile(top, collect);
    std::sort(sizes.begin(), sizes.end());
    return sizes;
}

std::size_t getFileList::keepSizesFoundTwice(std::vector<std::uint64_t>& sizes) {
    std::size_t files = 0;
    std::size_t kept = 0;
    for (std::size_t begin = 0, end = 0; begin < sizes.size(); begin = end) {
        while (end < sizes.size() && sizes[end] == sizes[begin]) ++end;
        if (end - begin < 2) continue;
        files += end - begin;
        sizes[kept++] = sizes[begin];
    }
    sizes.resize(kept);
    sizes.shrink_to_fit();
    return files;
}

bool getFileList::getListAtPath(const std::string& root, std::vector<CandidateFile>& files,
                                std::vector<std::string>& bundles, std::uint64_t limit) {
    WalkedFolder top;
    if (!walkTree(root, top)) return false;
    // The records go straight into one allocation of the right size: a list that doubles as it
    // grows holds its old and its new copy at once, the largest memory the search needs.
    std::vector<std::uint64_t> shared = candidateSizes(top, limit);
    std::size_t count = onlyFilesSharingASize_ ? keepSizesFoundTwice(shared) : shared.size();
    if (!onlyFilesSharingASize_) shared = {};
    auto wanted = [&](const ListedPath& item) {
        return !onlyFilesSharingASize_ ||
               std::binary_search(shared.begin(), shared.end(), item.size);
    };
    files.reserve(files.size() + count);
    auto take = [&](ListedPath& item) {
        if (isStopped()) return;
        if (!m_bSearchHiddenFile && IsHiddenFile(item.path)) return;
        if (getAppDirectory(item, bundles, limit)) return;
        if (!isCandidateFile(item, limit) || !wanted(item)) return;
        CandidateFile record;
        record.filePathName = std::move(item.path);
        record.fileSize = item.size;
        record.ModificationDate = item.modified;
        files.push_back(std::move(record));
    };
    assembleTop(top, take);
    // One line for the whole listing: a line per file would fill the diagnostic log, which
    // starts again at 20 MiB, with one search and push out everything else in it.
    KVT_LOG("listed %zu files larger than %llu bytes and %zu bundles below %s", files.size(),
            static_cast<unsigned long long>(limit), bundles.size(), root.c_str());
    return true;
}

}  // namespace quillby
