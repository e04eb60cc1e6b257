// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/fs/TrashCan.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <cstdio>

#include "core/fs/EntryStatus.h"
#include "core/fs/FileURL.h"
#include "core/fs/FolderHandle.h"
#include "core/fs/PathRules.h"
#include "core/fs/WriteAll.h"

namespace quillby {

namespace {

constexpr int kMaxNameTries = 10000;

// Opens (making it when missing) the folder `name` inside `parent`, never through a link.
FolderHandle openOrMake(const FolderHandle& parent, const char* name, int& error) {
    if (::mkdirat(parent.fd(), name, 0700) != 0 && errno != EEXIST) {
        error = errno;
        return {};
    }
    return FolderHandle::openStep(parent, name, error);
}

// The top folder of the volume holding the open folder `folder`: the root of its mount. Gives
// how many levels above `folder` it lies.
FolderHandle volumeTop(const FolderHandle& folder, int& levels, int& error) {
    FolderHandle current = FolderHandle::openLocationStep(folder, ".", error);
    for (levels = 0; current.isOpen() && levels < 4096; ++levels) {
        auto status = entryStatusAt(current.fd(), "");
        if (!status) {
            error = errno;
            return {};
        }
        if (status->isMountRoot) return current;
        FolderHandle up = FolderHandle::openLocationStep(current, "..", error);
        auto above = up.isOpen() ? entryStatusAt(up.fd(), "") : std::nullopt;
        // The root's ".." is the root itself.
        if (!above || above->device != current.device() || above->inode == status->inode) {
            return current;
        }
        current = std::move(up);
    }
    error = ELOOP;
    return {};
}

// The user's own trash folder `name` of a volume's top folder, made for the user alone when
// missing; refused (EPERM) when it is someone else's.
FolderHandle ownTrashFolder(const FolderHandle& top, const char* name, int& error) {
    FolderHandle folder = openOrMake(top, name, error);
    if (!folder.isOpen()) return folder;
    auto status = entryStatusAt(folder.fd(), "");
    if (!status || status->owner != ::geteuid()) {
        error = EPERM;
        return {};
    }
    return folder;
}

std::string candidateName(const std::string& name, int attempt) {
    return attempt == 1 ? name : name + "." + std::to_string(attempt);
}

}  // namespace

TrashCan::TrashCan(std::filesystem::path dataHome) : dataHome_(std::move(dataHome)) {}

FolderHandle TrashCan::volumeTrash(const FolderHandle& parent, const std::string& path,
                                   std::string& trashFolder, int& error) {
    int levels = 0;
    FolderHandle top = volumeTop(parent, levels, error);
    if (!top.isOpen()) return top;
    // The path of the top folder: the item's path less its name and `levels` folders.
    std::string topPath = path;
    for (int i = 0; i <= levels; ++i) {
        std::size_t slash = topPath.rfind('/');
        if (slash == std::string::npos) {
            error = EINVAL;
            return {};
        }
        topPath.erase(slash);
    }
    if (topPath.empty()) topPath = "/";
    std::string uid = std::to_string(::geteuid());
    // A shared .Trash serves only when it is a real, sticky folder: nobody else can then swap
    // the user's folder in it.
    int sharedError = 0;
    FolderHandle shared = FolderHandle::openStep(top, ".Trash", sharedError);
    auto sharedStatus = shared.isOpen() ? entryStatusAt(shared.fd(), "") : std::nullopt;
    if (sharedStatus && (sharedStatus->mode & S_ISVTX) && shared.device() == top.device()) {
        FolderHandle mine = ownTrashFolder(shared, uid.c_str(), error);
        if (mine.isOpen()) {
            trashFolder = topPath + (topPath == "/" ? "" : "/") + ".Trash/" + uid;
            return mine;
        }
    }
    std::string own = ".Trash-" + uid;
    FolderHandle mine = ownTrashFolder(top, own.c_str(), error);
    if (mine.isOpen()) trashFolder = topPath + (topPath == "/" ? "" : "/") + own;
    return mine;
}

std::string TrashCan::trashInfoText(const std::string& path, std::time_t deletionTime) {
    constexpr std::string_view kScheme = "file://";
    std::string encoded = fileURLFromPath(path).substr(kScheme.size());
    std::tm local{};
    localtime_r(&deletionTime, &local);
    char date[32];
    std::strftime(date, sizeof date, "%Y-%m-%dT%H:%M:%S", &local);
    return "[Trash Info]\nPath=" + encoded + "\nDeletionDate=" + date + "\n";
}

TrashCan::Result TrashCan::moveToTrash(const std::string& path, std::time_t deletionTime) {
    Result result;
    if (!isNormalizedAbsolutePath(path)) {
        result.error = EINVAL;
        return result;
    }
    std::string name;
    FolderHandle parent = FolderHandle::openParentWithoutLinks(path, name, result.error);
    if (!parent.isOpen()) {
        if (result.error == ENOENT) result.outcome = Outcome::Missing;
        return result;
    }
    return moveEntry(parent, name, path, deletionTime);
}

TrashCan::Result TrashCan::moveEntry(const FolderHandle& parent, const std::string& name,
                                     const std::string& path, std::time_t deletionTime) {
    Result result;
    if (!isPlainEntryName(name)) {
        result.error = EINVAL;
        return result;
    }
    auto item = entryStatusAt(parent.fd(), name.c_str());
    if (!item) {
        result.error = errno;
        if (result.error == ENOENT) result.outcome = Outcome::Missing;
        return result;
    }
    // The home trash takes what lies on its own disk; anything else goes to its volume's trash.
    std::error_code made;
    std::filesystem::create_directories(dataHome_, made);
    FolderHandle home = FolderHandle::openTrusted(dataHome_.string(), result.error);
    if (!home.isOpen()) return result;
    FolderHandle trash = openOrMake(home, "Trash", result.error);
    if (!trash.isOpen()) return result;
    result.trashFolder = (dataHome_ / "Trash").string();
    if (trash.device() != item->device) {
        trash = volumeTrash(parent, path, result.trashFolder, result.error);
        if (!trash.isOpen()) {
            result.outcome = Outcome::OtherFileSystem;
            return result;
        }
    }
    FolderHandle files = openOrMake(trash, "files", result.error);
    FolderHandle info = openOrMake(trash, "info", result.error);
    if (!files.isOpen() || !info.isOpen()) return result;
    if (item->device != files.device()) {
        result.outcome = Outcome::OtherFileSystem;
        result.error = EXDEV;
        return result;
    }
    std::string text = trashInfoText(path, deletionTime);
    for (int attempt = 1; attempt <= kMaxNameTries; ++attempt) {
        std::string candidate = candidateName(name, attempt);
        std::string infoName = candidate + ".trashinfo";
        // The description claims the name: made exclusively, so two movers never share one.
        int fd = ::openat(info.fd(), infoName.c_str(),
                          O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (fd < 0 && errno == EEXIST) continue;
        if (fd < 0) {
            result.error = errno;
            return result;
        }
        bool written = writeAll(fd, text);
        ::close(fd);
        if (written && ::renameat2(parent.fd(), name.c_str(), files.fd(), candidate.c_str(),
                                   RENAME_NOREPLACE) == 0) {
            result.outcome = Outcome::Moved;
            result.trashedName = candidate;
            return result;
        }
        int error = written ? errno : EIO;
        ::unlinkat(info.fd(), infoName.c_str(), 0);
        if (error == EEXIST) continue;  // an item of that name without its description
        result.error = error;
        result.outcome = error == EXDEV ? Outcome::OtherFileSystem : Outcome::Failed;
        return result;
    }
    result.error = EEXIST;
    return result;
}

}  // namespace quillby
