#include "clean/TrashRule.h"

#include "clean/CleanFolder.h"

#include <fcntl.h>
#include <unistd.h>
#include <cerrno>
#include <vector>

#include "core/DirectoryReader.h"
#include "core/EntryStatus.h"
#include "core/FolderHandle.h"
#include "core/Log.h"
#include "core/TreeRemover.h"

namespace {

constexpr std::string_view kInfoEnding = ".trashinfo";

// The trash folder holding `files`, reached the way the category folder itself is.
FolderHandle openTrash(const CleanFolder& filesFolder) {
    int error = 0;
    return filesFolder.openParent(error);
}

void unlinkPlainFile(const FolderHandle& folder, const std::string& name) {
    auto status = entryStatusAt(folder.fd(), name.c_str());
    if (!status || status->kind == EntryKind::Directory) return;
    if (::unlinkat(folder.fd(), name.c_str(), 0) != 0 && errno != ENOENT) {
        QWLog("Cannot remove the trash entry %s: errno %d", name.c_str(), errno);
    }
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
        TreeRemover remover;
        std::string path = (folder.path.parent_path() / "expunged").string();
        for (const auto& name : DirectoryReader::allNames(expunged.fd())) {
            remover.removeEntry(expunged, path, name, EntryVerdict::CleanAll, 1);
        }
    }
    unlinkPlainFile(trash, "directorysizes");
}
