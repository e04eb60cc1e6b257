#include "duplicates/getFileList.h"

#include <algorithm>
#include <system_error>

#include "core/WorkStealingPool.h"
#include "duplicates/DuplicateLog.h"
#include "duplicates/PathComponents.h"

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

ListedPath listedFile(ListedEntry& entry) {
    return ListedPath{std::move(entry.path), false, entry.kind == EntryKind::Regular, entry.size,
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
    if (item.size > limit) {
        std::string path(bundle);
        if (knownBundles_.insert(path).second) bundles.push_back(std::move(path));
    }
    return true;
}

bool getFileList::skipsHiddenName(std::string_view path) const {
    // Everything below a hidden name is hidden too, so leaving it out of the walk changes no
    // result: the listing would drop all of it.
    return !m_bSearchHiddenFile && lastPathComponent(path).front() == '.';
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
    if (!listFolder(folder.path, false, folder.parentDevice, contents)) {
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
    folder.self =
        ListedPath{folder.path, true, false, static_cast<std::uint64_t>(contents.self.st_size),
                   modificationDateOf(contents.self)};
    folder.items.reserve(contents.entries.size());
    for (ListedEntry& entry : contents.entries) {
        if (entry.kind == EntryKind::Symlink || entry.vanished) continue;
        if (skipsHiddenName(entry.path)) continue;
        if (entry.kind == EntryKind::Directory) {
            addSubfolder(folder, std::move(entry.path), subfolders);
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

bool getFileList::assemble(WalkedFolder& folder, std::vector<ListedPath>& out) {
    for (auto& item : folder.items) {
        if (!item.folder) {
            out.push_back(std::move(item.file));
        } else if (assemble(*item.folder, out)) {
            out.push_back(std::move(item.folder->self));
        }
        item.folder.reset();  // memory goes back as the list grows
    }
    folder.items.clear();
    return folder.state == WalkedFolder::State::Listed;
}

bool getFileList::getSubpathsOfDirectoryAtPath(std::vector<ListedPath>& out,
                                               const std::string& folder) {
    WalkedFolder top;
    top.path = folder;
    walkOnPool({&top});
    return assemble(top, out);
}

bool getFileList::getDirectoryAtPath(const std::string& root, std::vector<ListedPath>& result) {
    setCurrentPath(root);
    FolderContents contents;
    if (!listFolder(root, true, 0, contents)) {
        KVT_LOG("get contents Of Directory At Path failed %s: %s", root.c_str(),
                errorText(contents.error).c_str());
        return false;
    }
    // Below a hidden root every path is hidden, and nothing lives in a kernel file system.
    if (contents.kernelFileSystem || (!m_bSearchHiddenFile && IsHiddenFile(root))) return true;

    WalkedFolder top;
    top.path = root;
    top.device = contents.self.st_dev;
    top.inode = contents.self.st_ino;
    top.state = WalkedFolder::State::Listed;
    std::vector<WalkedFolder*> folders;
    for (ListedEntry& entry : contents.entries) {
        if (entry.vanished) {
            KVT_LOG("directory not exsts:%s", entry.path.c_str());
            continue;
        }
        switch (entry.kind) {
            case EntryKind::Symlink:
                // Following it could list files outside the chosen folder, or the same files
                // twice under two names, where deleting one "copy" deletes the only one.
                KVT_LOG("symbolic link not followed:%s", entry.path.c_str());
                break;
            case EntryKind::Directory: {
                if (!m_bSearchHiddenFile && IsHiddenFile(entry.path)) break;
                if (!m_bSearchSystemDirectory && root == "/" && IsSystemDirectory(entry.path)) {
                    break;
                }
                addSubfolder(top, std::move(entry.path), folders);
                break;
            }
            default:
                if (skipsHiddenName(entry.path)) break;
                top.items.push_back({listedFile(entry), nullptr});
        }
    }
    walkOnPool(folders);
    // First-level folders contribute their contents, not themselves.
    for (auto& item : top.items) {
        if (item.folder) {
            assemble(*item.folder, result);
        } else {
            result.push_back(std::move(item.file));
        }
        item.folder.reset();
    }
    return true;
}

bool getFileList::getListAtPath(const std::string& root, std::vector<fileAttrbItem>& files,
                                std::vector<std::string>& bundles, std::uint64_t limit) {
    std::vector<ListedPath> paths;
    if (!getDirectoryAtPath(root, paths)) return false;
    // One allocation of the right size: a list that doubles as it grows holds its old and its
    // new copy at once, the largest memory the search needs.
    files.reserve(files.size() + static_cast<std::size_t>(std::count_if(
                                     paths.begin(), paths.end(), [&](const ListedPath& item) {
                                         return !item.isFolder && item.size > limit;
                                     })));
    for (ListedPath& item : paths) {
        if (isStopped()) break;
        if (!m_bSearchHiddenFile && IsHiddenFile(item.path)) continue;
        if (getAppDirectory(item, bundles, limit)) continue;
        // Only regular files: reading a fifo or device as content would hang or mislead.
        if (item.isFolder || !item.isRegularFile || item.size <= limit) continue;
        fileAttrbItem record;
        record.fileName = std::string(lastPathComponent(item.path));
        record.filePathName = std::move(item.path);
        record.fileSize = item.size;
        record.ModificationDate = item.modified;
        files.push_back(std::move(record));
    }
    // One line for the whole listing: a line per file would fill the diagnostic log, which
    // starts again at 20 MiB, with one search and push out everything else in it.
    KVT_LOG("listed %zu files larger than %llu bytes and %zu bundles below %s", files.size(),
            static_cast<unsigned long long>(limit), bundles.size(), root.c_str());
    return true;
}
