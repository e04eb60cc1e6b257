#include "clean/CleanEntryRemover.h"

#include <fcntl.h>
#include <unistd.h>
#include <cerrno>
#include <vector>

#include "core/DirectoryReader.h"
#include "core/EntryStatus.h"
#include "core/PrivilegedAuthorization.h"

CleanEntryRemover::CleanEntryRemover(const CleanFolder& folder,
                                     PrivilegedAuthorization* authorization)
    : folder_(folder),
      authorization_(authorization),
      plain_({.judge = folder.rule.get(), .resetPermissions = true}) {}

RemovalReport CleanEntryRemover::remove(const CleanableEntry& entry) const {
    RemovalReport report =
        plain_.removeEntry(*entry.parent, entry.parentPath, entry.name, entry.verdict, entry.depth);
    if (report.failed() && authorization_) {
        RemovalReport privileged;
        privileged.removedEntries = report.removedEntries;
        privileged.keptSome = report.keptSome;
        privileged.removed = removeWithPrivileges(*entry.parent, entry.parentPath, entry.name,
                                                  entry.verdict, entry.depth, privileged);
        report = std::move(privileged);
    }
    if (report.removed && entry.depth == 1)
        folder_.rule->afterEntryRemoved(folder_.path, entry.name);
    return report;
}

bool CleanEntryRemover::removeWithPrivileges(const FolderHandle& parent,
                                             const std::string& parentPath, const std::string& name,
                                             EntryVerdict verdict, int depth,
                                             RemovalReport& report) const {
    if (verdict == EntryVerdict::Keep) {
        report.keptSome = true;
        return false;
    }
    std::string path = parentPath + "/" + name;
    auto status = entryStatusAt(parent.fd(), name.c_str());
    if (!status) {
        if (errno == ENOENT) return true;
        report.addFailure(path, errno);
        return false;
    }
    bool isFolder = status->kind == EntryKind::Directory;
    if (isFolder && (status->isMountRoot || status->device != parent.device())) {
        report.keptSome = true;
        return false;
    }
    if (!isFolder && verdict == EntryVerdict::Descend) {
        report.keptSome = true;
        return false;
    }
    // Everything inside may go: the helper removes the whole item in one request.
    if (!isFolder || verdict == EntryVerdict::CleanAll) {
        if (authorization_->removeItem(path)) {
            ++report.removedEntries;
            return true;
        }
        report.addFailure(path, EPERM);
        return false;
    }
    int error = 0;
    FolderHandle folder = FolderHandle::openChild(parent, name.c_str(), true, error);
    if (!folder.isOpen()) {
        // What cannot be read cannot be judged, so it is not handed to the helper either.
        report.addFailure(path, error);
        return false;
    }
    if (!removeOneByOne(folder, path, verdict, depth, report)) return false;
    if (verdict == EntryVerdict::Descend) return false;
    if (::unlinkat(parent.fd(), name.c_str(), AT_REMOVEDIR) == 0 ||
        authorization_->removeEmptyFolder(path)) {
        ++report.removedEntries;
        return true;
    }
    report.addFailure(path, EPERM);
    return false;
}

bool CleanEntryRemover::removeOneByOne(const FolderHandle& folder, const std::string& path,
                                       EntryVerdict verdict, int depth,
                                       RemovalReport& report) const {
    int error = 0;
    std::vector<std::string> names = DirectoryReader::allNames(folder.fd(), &error);
    if (error) {
        report.addFailure(path, error);
        return false;
    }
    bool allGone = true;
    for (const auto& name : names) {
        auto status = entryStatusAt(folder.fd(), name.c_str());
        if (!status) continue;
        EntryVerdict childVerdict = folder_.rule->judge({name, status->kind, depth + 1, verdict});
        if (childVerdict == EntryVerdict::Keep) {
            report.keptSome = true;
            allGone = false;
            continue;
        }
        RemovalReport attempt = plain_.removeEntry(folder, path, name, childVerdict, depth + 1);
        report.removedEntries += attempt.removedEntries;
        report.keptSome |= attempt.keptSome;
        if (attempt.removed) continue;
        if (!attempt.failed()) {
            allGone = false;  // kept on purpose
            continue;
        }
        allGone &= removeWithPrivileges(folder, path, name, childVerdict, depth + 1, report);
    }
    return allGone;
}
