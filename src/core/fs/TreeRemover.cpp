// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/fs/TreeRemover.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <utility>

#include "core/fs/DirectoryReader.h"
#include "core/fs/EntryStatus.h"
#include "core/fs/OwnerRights.h"
#include "core/fs/PathRules.h"

namespace quillby {

namespace {

// A name read from a folder listing, kept while the folder is changed.
struct ListedName {
    std::string name;
    unsigned char type;
};

}  // namespace

void RemovalReport::addFailure(std::string path, int error) {
    ++failureCount;
    if (failures.size() < kMaxFailures) failures.push_back({std::move(path), error});
}

TreeRemover::TreeRemover(Options options) : options_(options) {}

RemovalReport TreeRemover::removeEntry(const FolderHandle& parent, const std::string& parentPath,
                                       const std::string& name, EntryVerdict verdict,
                                       int depth) const {
    RemovalReport report;
    report.removed = removeOne(parent, parentPath, name.c_str(), verdict, depth, report);
    return report;
}

RemovalReport TreeRemover::removePath(const std::string& path) const {
    RemovalReport report;
    auto split = splitAbsolutePath(path);
    if (!split) {
        report.addFailure(path, EINVAL);
        return report;
    }
    auto& [parentPath, name] = *split;
    int error = 0;
    FolderHandle parent = FolderHandle::openParentWithoutLinks(path, name, error);
    if (!parent.isOpen()) {
        if (error == ENOENT) {
            report.removed = true;
        } else {
            report.addFailure(path, error);
        }
        return report;
    }
    report.removed = removeOne(parent, parentPath, name.c_str(), EntryVerdict::CleanAll, 1, report);
    // Kept without a failure: a mount inside (or the item itself) held it in place.
    if (!report.removed && !report.failed()) report.addFailure(path, EXDEV);
    return report;
}

bool TreeRemover::removeOne(const FolderHandle& parent, const std::string& parentPath,
                            const char* name, EntryVerdict verdict, int depth,
                            RemovalReport& report) const {
    if (verdict == EntryVerdict::Keep) {
        report.keptSome = true;
        return false;
    }
    std::string path = pathInside(parentPath, name);
    auto status = entryStatusAt(parent.fd(), name);
    if (!status) {
        if (errno == ENOENT) return true;
        report.addFailure(path, errno);
        return false;
    }
    if (status->kind != EntryKind::Directory) {
        if (verdict == EntryVerdict::Descend) {
            report.keptSome = true;
            return false;
        }
        if (::unlinkat(parent.fd(), name, 0) == 0 || errno == ENOENT) {
            ++report.removedEntries;
            return true;
        }
        report.addFailure(path, errno);
        return false;
    }

    if (status->isMountRoot || status->device != parent.device()) {
        report.keptSome = true;
        return false;
    }
    // Only an ordinary owner needs its rights back; root passes without them.
    bool mine = ::geteuid() != 0 && status->owner == ::geteuid();
    int error = 0;
    FolderHandle folder = FolderHandle::openChild(parent, name, true, error);
    if (!folder.isOpen() && error == EACCES && options_.resetPermissions && mine &&
        giveOwnerFolderRights(parent.fd(), name)) {
        folder = FolderHandle::openChild(parent, name, true, error);
    }
    if (!folder.isOpen()) {
        if (error == EXDEV) {
            report.keptSome = true;
        } else if (error == ENOENT) {
            return true;
        } else {
            report.addFailure(path, error);
        }
        return false;
    }
    if (options_.resetPermissions && mine && (status->mode & S_IRWXU) != S_IRWXU) {
        ::fchmod(folder.fd(), (status->mode & 07777) | S_IRWXU);
    }
    bool empty = emptyFolder(folder, path, verdict, depth, report);
    if (!empty || verdict == EntryVerdict::Descend) return false;
    if (::unlinkat(parent.fd(), name, AT_REMOVEDIR) == 0 || errno == ENOENT) {
        ++report.removedEntries;
        return true;
    }
    report.addFailure(path, errno);
    return false;
}

bool TreeRemover::emptyFolder(const FolderHandle& folder, const std::string& path,
                              EntryVerdict verdict, int depth, RemovalReport& report) const {
    // The names are read first: a folder changed while it is being listed may skip entries.
    std::vector<ListedName> names;
    {
        DirectoryReader reader(folder.fd());
        DirectoryReader::Entry entry;
        while (reader.next(entry)) names.push_back({entry.name, entry.type});
        if (reader.error()) {
            report.addFailure(path, reader.error());
            return false;
        }
    }
    bool allGone = true;
    for (const auto& listed : names) {
        EntryVerdict childVerdict = EntryVerdict::CleanAll;
        if (options_.judge) {
            auto kind = entryKindFromListing(listed.type);
            if (!kind) {
                auto status = entryStatusAt(folder.fd(), listed.name.c_str());
                if (!status) continue;
                kind = status->kind;
            }
            childVerdict = options_.judge->judge({listed.name, *kind, depth + 1, verdict});
        }
        allGone &= removeOne(folder, path, listed.name.c_str(), childVerdict, depth + 1, report);
    }
    return allGone;
}

}  // namespace quillby
