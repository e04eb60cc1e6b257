// SPDX-License-Identifier: GPL-3.0-or-later
#include "duplicates/DuplicateRemoval.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <optional>
#include <string_view>

#include "core/fs/DeletionGate.h"
#include "core/fs/DirectoryReader.h"
#include "core/fs/EntryStatus.h"
#include "core/fs/FolderHandle.h"
#include "core/fs/UserHome.h"
#include "duplicates/ContentComparison.h"
#include "duplicates/FileContentReader.h"
#include "duplicates/PlacedFile.h"
#include "platform/Services.h"

namespace quillby {

namespace {

// Reasons read as the user's words, as every removal's report says them.
std::string errorText(int error) {
    return failureText(error);
}

Comparison compareTrees(const FolderHandle& a, const FolderHandle& b, const std::string& where,
                        std::string& detail);

// Compares the entries `name` of two open folders: same kind, and the same bytes, link text or
// tree.
Comparison compareEntries(const FolderHandle& a, const FolderHandle& b, const std::string& name,
                          const std::string& where, std::string& detail) {
    auto statusA = entryStatusAt(a.fd(), name.c_str());
    auto statusB = entryStatusAt(b.fd(), name.c_str());
    if (!statusA || !statusB) {
        detail = "cannot read " + where + ": " + errorText(errno);
        return Comparison::Unreadable;
    }
    if (statusA->kind != statusB->kind) {
        detail = where + " is not the same kind of item";
        return Comparison::Differ;
    }
    switch (statusA->kind) {
        case EntryKind::Regular: {
            FileContentReader fileA, fileB;
            if (!fileA.openAt(a.fd(), name.c_str()) || !fileB.openAt(b.fd(), name.c_str())) {
                detail = "cannot open " + where + ": " +
                         errorText(fileA.isOpen() ? fileB.error() : fileA.error());
                return Comparison::Unreadable;
            }
            Comparison result = compareOpenFiles(fileA, fileB, detail);
            if (result != Comparison::Same) detail = where + ": " + detail;
            return result;
        }
        case EntryKind::Symlink: {
            char textA[4096], textB[4096];
            ssize_t lengthA = ::readlinkat(a.fd(), name.c_str(), textA, sizeof textA);
            ssize_t lengthB = ::readlinkat(b.fd(), name.c_str(), textB, sizeof textB);
            if (lengthA < 0 || lengthB < 0) {
                detail = "cannot read the link " + where + ": " + errorText(errno);
                return Comparison::Unreadable;
            }
            if (std::string_view(textA, static_cast<std::size_t>(lengthA)) !=
                std::string_view(textB, static_cast<std::size_t>(lengthB))) {
                detail = "the link " + where + " points elsewhere";
                return Comparison::Differ;
            }
            return Comparison::Same;
        }
        case EntryKind::Directory: {
            int errorA = 0, errorB = 0;
            auto folderA = FolderHandle::openChild(a, name.c_str(), true, errorA);
            auto folderB = FolderHandle::openChild(b, name.c_str(), true, errorB);
            if (!folderA.isOpen() || !folderB.isOpen()) {
                detail = "cannot open " + where + ": " + errorText(errorA ? errorA : errorB);
                return Comparison::Unreadable;
            }
            return compareTrees(folderA, folderB, where, detail);
        }
        case EntryKind::Other:
            break;
    }
    detail = where + " is a device, fifo or socket";
    return Comparison::Differ;
}

Comparison compareTrees(const FolderHandle& a, const FolderHandle& b, const std::string& where,
                        std::string& detail) {
    int errorA = 0, errorB = 0;
    auto namesA = DirectoryReader::allNames(a.fd(), &errorA);
    auto namesB = DirectoryReader::allNames(b.fd(), &errorB);
    if (errorA || errorB) {
        detail = "cannot list " + where + ": " + errorText(errorA ? errorA : errorB);
        return Comparison::Unreadable;
    }
    std::sort(namesA.begin(), namesA.end());
    std::sort(namesB.begin(), namesB.end());
    if (namesA != namesB) {
        auto [onlyA, onlyB] =
            std::mismatch(namesA.begin(), namesA.end(), namesB.begin(), namesB.end());
        const std::string& name = onlyA != namesA.end() ? *onlyA : *onlyB;
        detail = "the folders " + where + " do not hold the same names (" + name + ")";
        return Comparison::Differ;
    }
    for (const std::string& name : namesA) {
        Comparison result = compareEntries(a, b, name, where + "/" + name, detail);
        if (result != Comparison::Same) return result;
    }
    return Comparison::Same;
}

// Why a comparison stops a removal: contents that differ, or a copy that could not be read.
// `against` names the copy that stays, after the detail of a difference.
DuplicateRemoval::Result refusal(Comparison comparison, const std::string& detail,
                                 const std::string& against) {
    if (comparison == Comparison::Differ) {
        return {DuplicateRemoval::Outcome::Differs, detail + against};
    }
    return {DuplicateRemoval::Outcome::Failed, detail};
}

DuplicateRemoval::Result failure(int error, const std::string& what) {
    if (error == ELOOP) {
        return {DuplicateRemoval::Outcome::Refused, refusalText(RefusalRule::LinkOnTheWay)};
    }
    return {DuplicateRemoval::outcomeOfError(error), what + errorText(error), false, {}, error};
}

// Removes the placed file or folder through the deletion gate, while it is the one checked.
DuplicateRemoval::Result removePlaced(const PlacedFile& target, const std::string& path,
                                      const DuplicateRemoval::Scope& scope) {
    std::string parentPath = PlacedFile::parentPathOf(path, target.name);
    std::optional<DeletionGate> own;
    const DeletionGate& gate =
        scope.gate ? *scope.gate : own.emplace(DuplicateRemoval::removalGate());
    RemovalOutcome outcome = gate.removeEntryOf(target.folder, parentPath, target.name,
                                                identityOf(*target.status), scope.disposal);
    using Outcome = DuplicateRemoval::Outcome;
    switch (outcome.kind) {
        case RemovalOutcome::Kind::Removed:
            return {Outcome::Removed, {}, target.status->linkCount > 1};
        case RemovalOutcome::Kind::Trashed:
            return {Outcome::Trashed, {}, target.status->linkCount > 1, outcome.trashPath};
        case RemovalOutcome::Kind::Vanished:
            return {Outcome::Gone, errorText(ENOENT), false, {}, ENOENT};
        case RemovalOutcome::Kind::Refused:
            if (outcome.rule == RefusalRule::ChangedSinceListed) {
                return {Outcome::Failed, "changed while it was checked"};
            }
            return {Outcome::Refused, outcome.reason()};
        case RemovalOutcome::Kind::Failed:
            break;
    }
    std::string where =
        outcome.failedEntry == path ? "" : "could not remove " + outcome.failedEntry + ": ";
    return {DuplicateRemoval::outcomeOfError(outcome.error),
            where + outcome.reason(),
            false,
            {},
            outcome.error};
}
}  // namespace

DeletionGate DuplicateRemoval::removalGate() {
    DeletionGate::Options options;
    const PlatformContext& context = Services::context();
    options.home = context.home.string();
    options.caller = ::geteuid();
    options.protectAccountHomes = false;
    options.dataHome = UserHome(context.home, context.uid)
                           .folderFromEnvironment(context.xdgDataHome,
                                                  context.home / ".local/share", "XDG_DATA_HOME")
                           .string();
    return DeletionGate(options);
}

DuplicateRemoval::Outcome DuplicateRemoval::outcomeOfError(int error) {
    if (error == ENOENT) return Outcome::Gone;
    if (rightsMayOvercome(error)) return Outcome::PermissionDenied;
    return Outcome::Failed;
}

namespace {

// Compares a copy with the copy that stays; when they are equal, `remove` (if any) unlinks the
// copy through the folder it was checked in.
DuplicateRemoval::Result verifyCopy(const std::string& path, const std::string& kept,
                                    const DuplicateRemoval::Scope& scope, bool remove) {
    using Outcome = DuplicateRemoval::Outcome;
    PlacedFile target(path, scope.searched), keeper(kept, scope.searched);
    if (!target.found()) return failure(target.error, "");
    if (target.status->kind != EntryKind::Regular) {
        return {Outcome::NotRegularFile, "not a regular file"};
    }
    if (!keeper.found()) {
        // Not this copy's fault: without the copy that stays there is nothing to compare with.
        return {Outcome::Failed, "the copy that stays cannot be read: " + errorText(keeper.error)};
    }
    if (sameDirectoryEntry(target, keeper)) {
        return {Outcome::SameEntry, "it is the same directory entry as " + kept};
    }
    FileContentReader copy, original;
    if (!copy.openAt(target.folder.fd(), target.name.c_str())) {
        return failure(copy.error(), "cannot open it: ");
    }
    if (!original.openAt(keeper.folder.fd(), keeper.name.c_str())) {
        return failure(original.error(), "cannot open " + kept + ": ");
    }
    if (copy.status().st_dev != target.status->device ||
        copy.status().st_ino != target.status->inode) {
        return {Outcome::Failed, "changed while it was checked"};
    }
    std::string detail;
    Comparison comparison = compareOpenFiles(copy, original, detail);
    if (comparison != Comparison::Same) return refusal(comparison, detail, " from " + kept);
    if (!remove) return {Outcome::Removed, {}, target.status->linkCount > 1};
    // The file compared must still be the one in that folder when it is unlinked.
    return removePlaced(target, path, scope);
}

}  // namespace

DuplicateRemoval::Result DuplicateRemoval::removeVerifiedCopy(const std::string& path,
                                                              const std::string& kept,
                                                              const Scope& scope) {
    return verifyCopy(path, kept, scope, true);
}

DuplicateRemoval::Result DuplicateRemoval::checkVerifiedCopy(const std::string& path,
                                                             const std::string& kept,
                                                             const Scope& scope) {
    return verifyCopy(path, kept, scope, false);
}

DuplicateRemoval::Result DuplicateRemoval::removeVerifiedBundle(const std::string& path,
                                                                const std::string& kept,
                                                                const Scope& scope) {
    PlacedFile target(path, scope.searched), keeper(kept, scope.searched);
    if (!target.found()) return failure(target.error, "");
    if (target.status->kind != EntryKind::Directory) return {Outcome::Failed, "not a folder"};
    if (!keeper.found()) {
        // Not this copy's fault: without the copy that stays there is nothing to compare with.
        return {Outcome::Failed, "the copy that stays cannot be read: " + errorText(keeper.error)};
    }
    if (target.status->device == keeper.status->device &&
        target.status->inode == keeper.status->inode) {
        return {Outcome::SameEntry, "it is the same folder as " + kept};
    }
    int error = 0;
    auto folder = FolderHandle::openChild(target.folder, target.name.c_str(), true, error);
    if (!folder.isOpen()) return failure(error, "cannot open it: ");
    auto keptFolder = FolderHandle::openChild(keeper.folder, keeper.name.c_str(), false, error);
    if (!keptFolder.isOpen()) return failure(error, "cannot open " + kept + ": ");
    std::string detail;
    Comparison comparison = compareTrees(folder, keptFolder, target.name, detail);
    if (comparison != Comparison::Same) return refusal(comparison, detail, ", unlike " + kept);
    auto opened = entryStatusAt(folder.fd(), "");
    auto now = entryStatusAt(target.folder.fd(), target.name.c_str());
    if (!opened || !now || opened->inode != now->inode || opened->device != now->device) {
        return {Outcome::Failed, "changed while it was checked"};
    }
    return removePlaced(target, path, scope);
}

}  // namespace quillby
