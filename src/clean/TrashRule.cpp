// SPDX-License-Identifier: GPL-3.0-or-later
#include "clean/TrashRule.h"

#include "clean/CleanFolder.h"

#include <fcntl.h>
#include <unistd.h>
#include <cerrno>
#include <vector>

#include "core/events/Log.h"
#include "core/fs/DeletionGate.h"
#include "core/fs/DirectoryReader.h"
#include "core/fs/EntryStatus.h"
#include "core/fs/FolderHandle.h"

namespace quillby {

namespace {

constexpr std::string_view kInfoEnding = ".trashinfo";

// The trash folder holding `files`, reached the way the category folder itself is.
FolderHandle openTrash(const CleanFolder& filesFolder) {
    int error = 0;
    return filesFolder.openParent(error);
}

// The trash's own bookkeeping goes through the deletion gate like every other removal.
const DeletionGate& trashGate() {
    static const DeletionGate gate([] {
        DeletionGate::Options options;
        options.caller = ::geteuid();
        return options;
    }());
    return gate;
}

void removeEntry(const FolderHandle& folder, const std::string& name) {
    RemovalOutcome outcome =
        trashGate().removeEntryOf(folder, "", name, std::nullopt, DeletionGate::Disposal::Delete);
    if (!outcome.gone()) {
        QWLog("Cannot remove the trash entry %s: %s", name.c_str(), outcome.reason().c_str());
    }
}

void unlinkPlainFile(const FolderHandle& folder, const std::string& name) {
    auto status = entryStatusAt(folder.fd(), name.c_str());
    if (!status || status->kind == EntryKind::Directory) return;
    removeEntry(folder, name);
}

}  // namespace

EntryVerdict TrashRule::judge(const JudgedEntry&) const {
    return EntryVerdict::CleanAll;
}

void TrashRule::afterEntryRemoved(const CleanFolder& folder, const std::string& name) const {
    FolderHandle trash = openTrash(folder);
    if (!trash.isOpen()) return;
    int error = 0;
    FolderHandle info = FolderHandle::openChild(trash, "info", true, error);
    if (info.isOpen()) unlinkPlainFile(info, name + std::string(kInfoEnding));
}

void TrashRule::afterFolderEmptied(const CleanFolder& folder) const {
    FolderHandle trash = openTrash(folder);
    if (!trash.isOpen()) return;
    int error = 0;
    FolderHandle files = FolderHandle::openChild(trash, "files", true, error);
    FolderHandle info = FolderHandle::openChild(trash, "info", true, error);
    if (info.isOpen() && files.isOpen()) {
        // Only descriptions whose item is gone: an item that could not be deleted keeps its own.
        for (const auto& name : DirectoryReader::allNames(info.fd())) {
            if (!std::string_view(name).ends_with(kInfoEnding)) continue;
            std::string item = name.substr(0, name.size() - kInfoEnding.size());
            if (!entryStatusAt(files.fd(), item.c_str()) && errno == ENOENT) {
                unlinkPlainFile(info, name);
            }
        }
    }
    FolderHandle expunged = FolderHandle::openChild(trash, "expunged", true, error);
    if (expunged.isOpen()) {
        for (const auto& name : DirectoryReader::allNames(expunged.fd())) {
            removeEntry(expunged, name);
        }
    }
    unlinkPlainFile(trash, "directorysizes");
}

}  // namespace quillby
