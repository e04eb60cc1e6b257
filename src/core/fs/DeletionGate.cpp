// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/fs/DeletionGate.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>
#include <algorithm>
#include <cerrno>
#include <mutex>

#include "core/fs/PathRules.h"
#include "core/fs/TrashCan.h"
#include "core/fs/TreeRemover.h"

namespace quillby {

namespace {

// The operating system's own folders, below the system root: what they hold is installed and
// run by the system, never picked for deletion by a user.
constexpr const char* kSystemFolders[] = {"etc",   "usr",   "bin",    "sbin",    "lib",
                                          "lib32", "lib64", "libx32", "boot",    "dev",
                                          "proc",  "sys",   "run",    "var/lib", "snap"};

// Folders inside those that are not the system's: the administrator's own software, and the
// places where the desktop mounts the user's drives and remote folders.
constexpr const char* kUserFolders[] = {"usr/local", "run/media", "run/user"};

// A walk up through ".." ends at the root; the bound only guards against a loop.
constexpr int kMaxDepth = 4096;

std::optional<ItemIdentity> identityAt(int folderFd, const char* name, bool followLinks) {
    struct stat info {};
    int flags = followLinks ? 0 : AT_SYMLINK_NOFOLLOW;
    if (name[0] == '\0') flags |= AT_EMPTY_PATH;
    if (::fstatat(folderFd, name, &info, flags) != 0) return std::nullopt;
    return ItemIdentity{info.st_dev, static_cast<std::uint64_t>(info.st_ino)};
}

bool contains(const std::vector<ItemIdentity>& list, const ItemIdentity& identity) {
    return std::find(list.begin(), list.end(), identity) != list.end();
}

// The folders holding the open folder `fd`, nearest first, up to the root of the file system
// as this process sees it.
template <typename Visit>
void visitAncestors(int fd, Visit visit) {
    int current = ::openat(fd, "..", O_PATH | O_DIRECTORY | O_CLOEXEC);
    auto previous = identityAt(fd, "", false);
    for (int depth = 0; current >= 0 && depth < kMaxDepth; ++depth) {
        auto identity = identityAt(current, "", false);
        if (!identity || identity == previous) break;  // ".." of the root is the root
        if (!visit(*identity)) break;
        previous = identity;
        int next = ::openat(current, "..", O_PATH | O_DIRECTORY | O_CLOEXEC);
        ::close(current);
        current = next;
    }
    if (current >= 0) ::close(current);
}

// A folder opened for its identity only: no read right is needed on it.
int openLocation(int folderFd, const char* path) {
    return ::openat(folderFd, path, O_PATH | O_DIRECTORY | O_CLOEXEC);
}

// The mount an entry of an open folder belongs to ("" for the folder itself); nothing where the
// file system does not say. Asked as well as the mount-root flag, which kernels before 5.8 lack.
std::optional<int> mountIdAt(int folderFd, const char* name) {
    struct {
        file_handle handle;
        unsigned char bytes[MAX_HANDLE_SZ];
    } buffer{};
    buffer.handle.handle_bytes = MAX_HANDLE_SZ;
    int mountId = 0;
    int flags = name[0] == '\0' ? AT_EMPTY_PATH : 0;
    if (::name_to_handle_at(folderFd, name, &buffer.handle, &mountId, flags) != 0) {
        return std::nullopt;
    }
    return mountId;
}

// The home folder of the account `owner`, when it has one other than "/".
std::optional<ItemIdentity> accountHomeOf(uid_t owner) {
    passwd entry{};
    passwd* found = nullptr;
    char text[4096];
    if (::getpwuid_r(owner, &entry, text, sizeof text, &found) != 0 || !found) return std::nullopt;
    if (!found->pw_dir || found->pw_dir[0] != '/' || found->pw_dir[1] == '\0') return std::nullopt;
    return identityAt(AT_FDCWD, found->pw_dir, true);
}

}  // namespace

bool userMayChangeFolder(const std::string& folder) {
    return ::faccessat(AT_FDCWD, folder.c_str(), W_OK | X_OK, AT_EACCESS) == 0;
}

DeletionGate::DeletionGate(Options options) : options_(std::move(options)) {
    int root = openLocation(AT_FDCWD, options_.systemRoot.c_str());
    root_ = root >= 0 ? identityAt(root, "", false) : std::nullopt;
    if (root >= 0) {
        for (const char* name : kSystemFolders) {
            // Followed: /bin may be a link to usr/bin, and what matters is the folder itself.
            if (auto identity = identityAt(root, name, true)) systemFolders_.push_back(*identity);
        }
        for (const char* name : kUserFolders) {
            if (auto identity = identityAt(root, name, true)) userFolders_.push_back(*identity);
        }
        for (const auto& name : options_.releasedSystemFolders) {
            // Not followed: a released folder planted as a link releases nothing.
            if (auto identity = identityAt(root, name.c_str(), false)) {
                userFolders_.push_back(*identity);
            }
        }
        ::close(root);
    }
    if (!options_.home.empty()) {
        int home = openLocation(AT_FDCWD, options_.home.c_str());
        // A home that exists but cannot be looked at cannot be protected: nothing may go then.
        if (home < 0 && errno != ENOENT && errno != ENOTDIR) unusable_ = true;
        home_ = home >= 0 ? identityAt(home, "", false) : std::nullopt;
        if (home >= 0) {
            visitAncestors(home, [this](const ItemIdentity& folder) {
                holdingHome_.push_back(folder);
                return true;
            });
            ::close(home);
        }
    }
    // Without the system root nothing could be judged: the gate then refuses everything.
    if (!root_) unusable_ = true;
    std::vector<std::pair<std::string, uid_t>> homes = options_.accountHomes;
    if (options_.protectAccountHomes) {
        // The user database is read once, under a lock: getpwent keeps its place in a global.
        static std::mutex userDatabase;
        std::lock_guard lock(userDatabase);
        ::setpwent();
        while (passwd* account = ::getpwent()) {
            if (account->pw_dir) homes.emplace_back(account->pw_dir, account->pw_uid);
        }
        ::endpwent();
    }
    for (const auto& [home, owner] : homes) {
        if (home.size() < 2 || home.front() != '/') continue;
        int fd = openLocation(AT_FDCWD, home.c_str());
        if (fd < 0) continue;
        if (auto identity = identityAt(fd, "", false)) {
            accountHomes_.emplace_back(*identity, owner);
            // A folder holding homes takes them with it.
            visitAncestors(fd, [this](const ItemIdentity& folder) {
                if (root_ && folder == *root_) return false;
                if (!contains(holdingAccountHomes_, folder)) holdingAccountHomes_.push_back(folder);
                return true;
            });
        }
        ::close(fd);
    }
}

bool DeletionGate::liesInSystemFolder(const FolderHandle& parent) const {
    auto here = identityAt(parent.fd(), "", false);
    if (!here) return true;  // cannot be placed: judged the careful way
    if (contains(userFolders_, *here)) return false;
    if (contains(systemFolders_, *here)) return true;
    bool inside = false;
    visitAncestors(parent.fd(), [&](const ItemIdentity& folder) {
        if (contains(userFolders_, folder)) return false;
        inside = contains(systemFolders_, folder);
        return !inside;
    });
    return inside;
}

std::optional<RefusalRule> DeletionGate::refusalFor(const FolderHandle& parent, const char* name,
                                                    const EntryStatus& item) const {
    ItemIdentity identity = identityOf(item);
    auto parentIdentity = identityAt(parent.fd(), "", false);
    if (root_ && identity == *root_) return RefusalRule::FileSystemRoot;
    if (root_ && parentIdentity == root_) return RefusalRule::TopLevelFolder;
    if (contains(systemFolders_, identity) || contains(userFolders_, identity) ||
        liesInSystemFolder(parent)) {
        return RefusalRule::SystemFolder;
    }
    if (home_ && identity == *home_) return RefusalRule::HomeFolder;
    if (contains(holdingHome_, identity)) return RefusalRule::HoldsHomeFolder;
    // By the mount itself, not by the disk alone: a bind mount of the same disk is a mount too.
    if (item.isMountRoot || item.device != parent.device()) return RefusalRule::MountPoint;
    auto itemMount = mountIdAt(parent.fd(), name);
    auto parentMount = mountIdAt(parent.fd(), "");
    if (itemMount && parentMount && *itemMount != *parentMount) return RefusalRule::MountPoint;
    for (const auto& [home, owner] : accountHomes_) {
        if (home == identity) {
            return owner == options_.caller ? RefusalRule::HomeFolder : RefusalRule::OtherUsersHome;
        }
    }
    if (item.kind == EntryKind::Directory) {
        if (contains(holdingAccountHomes_, identity)) return RefusalRule::HoldsAccountHomes;
        // The owner's own home, found even where the user database cannot be listed.
        if (item.owner != 0 && accountHomeOf(item.owner) == identity) {
            return item.owner == options_.caller ? RefusalRule::HomeFolder
                                                 : RefusalRule::OtherUsersHome;
        }
    }
    return std::nullopt;
}

RemovalOutcome DeletionGate::remove(const FolderHandle& root, const std::string& rootPath,
                                    std::string_view relativePath,
                                    std::optional<ItemIdentity> listed, Disposal disposal) const {
    return *walk(root, rootPath, relativePath, listed, &disposal);
}

std::optional<RemovalOutcome> DeletionGate::walk(const FolderHandle& root,
                                                 const std::string& rootPath,
                                                 std::string_view relativePath,
                                                 std::optional<ItemIdentity> listed,
                                                 const Disposal* disposal) const {
    std::string path = pathInside(rootPath, relativePath);
    if (!root.isOpen()) return RemovalOutcome::failed(rootPath, EBADF);
    // Each folder on the way is opened from the one before, refusing a link: a folder swapped
    // for a link after the item was listed leads nowhere.
    std::vector<std::string_view> components;
    for (std::string_view rest = relativePath;;) {
        std::size_t slash = rest.find('/');
        components.push_back(rest.substr(0, slash));
        if (!isPlainEntryName(components.back())) {
            return RemovalOutcome::refused(path, RefusalRule::NotAPlainPath);
        }
        if (slash == std::string_view::npos) break;
        rest.remove_prefix(slash + 1);
    }
    FolderHandle current;
    const FolderHandle* folder = &root;
    std::string folderPath = rootPath;
    for (std::size_t i = 0; i + 1 < components.size(); ++i) {
        std::string component(components[i]);
        int error = 0;
        FolderHandle next = FolderHandle::openLocationStep(*folder, component.c_str(), error);
        if (!next.isOpen()) {
            if (error == ENOENT) return RemovalOutcome::vanished(path);
            if (error == ELOOP) return RemovalOutcome::refused(path, RefusalRule::LinkOnTheWay);
            return RemovalOutcome::failed(path, error);
        }
        current = std::move(next);
        folder = &current;
        folderPath = pathInside(folderPath, component);
    }
    return removeEntry(*folder, folderPath, std::string(components.back()), listed, disposal);
}

RemovalOutcome DeletionGate::removeInside(const std::string& chosenFolder, const std::string& path,
                                          std::optional<ItemIdentity> listed,
                                          Disposal disposal) const {
    return *walkInside(chosenFolder, path, listed, &disposal);
}

RemovalOutcome DeletionGate::removeEntryOf(const FolderHandle& parent,
                                           const std::string& parentPath, const std::string& name,
                                           std::optional<ItemIdentity> listed,
                                           Disposal disposal) const {
    if (!isPlainEntryName(name)) {
        return RemovalOutcome::refused(pathInside(parentPath, name), RefusalRule::NotAPlainPath);
    }
    return *removeEntry(parent, parentPath, name, listed, &disposal);
}

std::optional<RemovalOutcome> DeletionGate::judgeEntryOf(const FolderHandle& parent,
                                                         const std::string& parentPath,
                                                         const std::string& name,
                                                         std::optional<ItemIdentity> listed) const {
    if (!isPlainEntryName(name)) {
        return RemovalOutcome::refused(pathInside(parentPath, name), RefusalRule::NotAPlainPath);
    }
    return removeEntry(parent, parentPath, name, listed, nullptr);
}

RemovalOutcome DeletionGate::replaceEntryOf(const FolderHandle& parent,
                                            const std::string& parentPath, const std::string& name,
                                            std::optional<ItemIdentity> listed,
                                            const std::string& standIn, ItemIdentity made) const {
    std::string path = pathInside(parentPath, name);
    if (!isPlainEntryName(standIn)) {
        return RemovalOutcome::refused(path, RefusalRule::NotAPlainPath);
    }
    if (auto judged = judgeEntryOf(parent, parentPath, name, listed)) return *judged;
    // The stand-in must be the file the caller made and checked, not one put there since.
    auto replacement = entryStatusAt(parent.fd(), standIn.c_str());
    if (!replacement || replacement->kind != EntryKind::Regular ||
        identityOf(*replacement) != made) {
        return RemovalOutcome::refused(path, RefusalRule::ChangedSinceListed);
    }
    if (::renameat(parent.fd(), standIn.c_str(), parent.fd(), name.c_str()) != 0) {
        return RemovalOutcome::failed(std::move(path), errno);
    }
    RemovalOutcome outcome;
    outcome.kind = RemovalOutcome::Kind::Removed;
    outcome.path = std::move(path);
    outcome.removedEntries = 1;
    return outcome;
}

RemovalReport DeletionGate::removeJudged(const FolderHandle& parent, const std::string& parentPath,
                                         const std::string& name, EntryVerdict verdict,
                                         int depth) const {
    RemovalReport report;
    if (!isPlainEntryName(name)) {
        report.addFailure(pathInside(parentPath, name), EINVAL);
        return report;
    }
    auto item = entryStatusAt(parent.fd(), name.c_str());
    if (!item) {
        if (errno == ENOENT) {
            report.removed = true;
        } else {
            report.addFailure(pathInside(parentPath, name), errno);
        }
        return report;
    }
    if (unusable_ || refusalFor(parent, name.c_str(), *item)) {
        report.keptSome = true;
        return report;
    }
    TreeRemover remover({.judge = options_.judge, .resetPermissions = options_.resetPermissions});
    return remover.removeEntry(parent, parentPath, name, verdict, depth);
}

std::optional<RemovalOutcome> DeletionGate::judgeInside(const std::string& chosenFolder,
                                                        const std::string& path,
                                                        std::optional<ItemIdentity> listed) const {
    return walkInside(chosenFolder, path, listed, nullptr);
}

std::optional<RemovalOutcome> DeletionGate::walkInside(const std::string& chosenFolder,
                                                       const std::string& path,
                                                       std::optional<ItemIdentity> listed,
                                                       const Disposal* disposal) const {
    std::string base(withoutTrailingSlashes(chosenFolder.empty() ? "/" : chosenFolder));
    if (path == "/") return RemovalOutcome::refused(path, RefusalRule::FileSystemRoot);
    if (!isNormalizedAbsolutePath(path)) {
        return RemovalOutcome::refused(path, RefusalRule::NotAPlainPath);
    }
    if (path == base) {
        // The chosen folder itself: reached from the folder holding it, as chosen.
        auto split = splitAbsolutePath(path);
        if (!split) return RemovalOutcome::refused(path, RefusalRule::FileSystemRoot);
        int error = 0;
        FolderHandle parent = FolderHandle::openTrusted(split->first, error);
        if (!parent.isOpen()) {
            return error == ENOENT ? RemovalOutcome::vanished(path)
                                   : RemovalOutcome::failed(path, error);
        }
        return removeEntry(parent, split->first, split->second, listed, disposal);
    }
    if (base != "/" && !liesInside(path, base)) {
        return RemovalOutcome::refused(path, RefusalRule::OutsideChosenFolder);
    }
    int error = 0;
    FolderHandle root = FolderHandle::openTrusted(base, error);
    if (!root.isOpen()) {
        return error == ENOENT ? RemovalOutcome::vanished(path)
                               : RemovalOutcome::failed(path, error);
    }
    std::string_view relative = std::string_view(path).substr(base == "/" ? 1 : base.size() + 1);
    auto outcome = walk(root, base, relative, listed, disposal);
    if (outcome) outcome->path = path;
    return outcome;
}

std::optional<RemovalOutcome> DeletionGate::removeEntry(const FolderHandle& parent,
                                                        const std::string& parentPath,
                                                        const std::string& name,
                                                        std::optional<ItemIdentity> listed,
                                                        const Disposal* disposal) const {
    std::string path = pathInside(parentPath, name);
    auto item = entryStatusAt(parent.fd(), name.c_str());
    if (!item) {
        // Only a missing entry is gone; a look refused for want of rights is a failure.
        int error = errno;
        return error == ENOENT ? RemovalOutcome::vanished(path)
                               : RemovalOutcome::failed(path, error);
    }
    if (listed && identityOf(*item) != *listed) {
        return RemovalOutcome::refused(path, RefusalRule::ChangedSinceListed);
    }
    if (unusable_) {
        RemovalOutcome outcome = RemovalOutcome::failed(path, EIO);
        outcome.detail = "the folders that must never be removed could not be read";
        return outcome;
    }
    if (auto rule = refusalFor(parent, name.c_str(), *item)) {
        return RemovalOutcome::refused(path, *rule);
    }
    if (!disposal) return std::nullopt;  // only judged: it may go
    if (*disposal == Disposal::Trash) return trashEntry(parent, name, std::move(path));
    return deleteEntry(parent, parentPath, name, std::move(path));
}

RemovalOutcome DeletionGate::deleteEntry(const FolderHandle& parent, const std::string& parentPath,
                                         const std::string& name, std::string path) const {
    TreeRemover remover({.judge = options_.judge, .resetPermissions = options_.resetPermissions});
    RemovalReport report = remover.removeEntry(parent, parentPath, name, EntryVerdict::CleanAll, 1);
    RemovalOutcome outcome;
    outcome.path = std::move(path);
    outcome.removedEntries = report.removedEntries;
    outcome.failureCount = report.failureCount;
    if (report.removed) {
        outcome.kind = RemovalOutcome::Kind::Removed;
        return outcome;
    }
    outcome.kind = RemovalOutcome::Kind::Failed;
    if (report.failures.empty()) {
        // Kept without a failure: a mount inside it (or the judge) held it in place.
        outcome.error = EXDEV;
        outcome.failedEntry = outcome.path;
        outcome.failureCount = 1;
    } else {
        outcome.error = report.failures.front().error;
        outcome.failedEntry = report.failures.front().path;
    }
    return outcome;
}

RemovalOutcome DeletionGate::trashEntry(const FolderHandle& parent, const std::string& name,
                                        std::string path) const {
    if (options_.dataHome.empty()) {
        RemovalOutcome outcome = RemovalOutcome::failed(std::move(path), ENOTSUP);
        outcome.detail = "no trash is known for this removal";
        return outcome;
    }
    TrashCan::Result moved = TrashCan(options_.dataHome).moveEntry(parent, name, path);
    switch (moved.outcome) {
        case TrashCan::Outcome::Moved: {
            RemovalOutcome outcome;
            outcome.kind = RemovalOutcome::Kind::Trashed;
            outcome.trashPath = moved.trashFolder + "/files/" + moved.trashedName;
            outcome.path = std::move(path);
            return outcome;
        }
        case TrashCan::Outcome::Missing:
            return RemovalOutcome::vanished(std::move(path));
        case TrashCan::Outcome::OtherFileSystem:
            return RemovalOutcome::failed(std::move(path), EXDEV);
        case TrashCan::Outcome::Failed:
            break;
    }
    return RemovalOutcome::failed(std::move(path), moved.error);
}

}  // namespace quillby
