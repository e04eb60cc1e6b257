#include "duplicates/DuplicateRemoval.h"

#include <cerrno>
#include <cstring>
#include <optional>
#include <system_error>

#include "core/EntryStatus.h"
#include "core/FolderHandle.h"
#include "core/TreeRemover.h"
#include "duplicates/FileContentReader.h"

namespace {

std::string errorText(int error) {
    return std::generic_category().message(error);
}

// A file reached through its folder, opened once: every look, read and the final unlink go
// through the same folder descriptor, so a folder swapped for a link midway changes nothing.
struct PlacedFile {
    FolderHandle folder;
    std::string name;
    std::optional<EntryStatus> status;
    int error = 0;

    explicit PlacedFile(const std::string& path) {
        size_t slash = path.rfind('/');
        std::string folderPath = slash == std::string::npos ? "." : path.substr(0, slash);
        if (slash == 0) folderPath = "/";
        name = slash == std::string::npos ? path : path.substr(slash + 1);
        folder = FolderHandle::openLocation(folderPath, error);
        if (!folder.isOpen()) return;
        status = entryStatusAt(folder.fd(), name.c_str());
        if (!status) error = errno;
    }
    bool found() const { return status.has_value(); }
};

// True when both reach the same entry of the same folder (a bind mount, or a folder reached
// twice), so that unlinking one removes the other.
bool sameDirectoryEntry(const PlacedFile& a, const PlacedFile& b) {
    if (a.status->device != b.status->device || a.status->inode != b.status->inode) return false;
    if (a.status->linkCount <= 1) return true;  // one name only: both paths lead to it
    auto folderA = entryStatusAt(a.folder.fd(), "");
    auto folderB = entryStatusAt(b.folder.fd(), "");
    if (!folderA || !folderB) return true;  // cannot tell: assume the worst
    return folderA->device == folderB->device && folderA->inode == folderB->inode &&
           a.name == b.name;
}

enum class Comparison { Same, Differ, Unreadable };

Comparison compareOpenFiles(FileContentReader& a, FileContentReader& b, std::string& detail) {
    if (a.status().st_size != b.status().st_size) {
        detail = "sizes differ";
        return Comparison::Differ;
    }
    for (std::uint64_t offset = 0;;) {
        std::int64_t gotA = a.readChunk();
        std::int64_t gotB = b.readChunk();
        if (gotA < 0 || gotB < 0) {
            detail = "read error: " + errorText(gotA < 0 ? a.error() : b.error());
            return Comparison::Unreadable;
        }
        if (gotA != gotB ||
            std::memcmp(a.buffer(), b.buffer(), static_cast<std::size_t>(gotA)) != 0) {
            detail = "contents differ after byte " + std::to_string(offset);
            return Comparison::Differ;
        }
        if (static_cast<std::size_t>(gotA) < FileContentReader::ChunkSize) return Comparison::Same;
        offset += static_cast<std::uint64_t>(gotA);
    }
}

}  // namespace

bool DuplicateRemoval::removeRegularFile(const std::string& path, int& error) {
    PlacedFile file(path);
    if (!file.found()) {
        error = file.error;
        return false;
    }
    return TreeRemover::removeCheckedFile(file.folder, file.name.c_str(), *file.status, error);
}

DuplicateRemoval::Result DuplicateRemoval::removeVerifiedCopy(const std::string& path,
                                                              const std::string& kept) {
    PlacedFile target(path), keeper(kept);
    if (!target.found()) return {Outcome::Failed, errorText(target.error)};
    if (target.status->kind != EntryKind::Regular) {
        return {Outcome::NotRegularFile, "not a regular file"};
    }
    if (!keeper.found()) {
        return {Outcome::Failed, "the copy that stays cannot be read: " + errorText(keeper.error)};
    }
    if (sameDirectoryEntry(target, keeper)) {
        return {Outcome::SameEntry, "it is the same file as " + kept};
    }
    FileContentReader copy, original;
    if (!copy.openAt(target.folder.fd(), target.name.c_str())) {
        return {Outcome::Failed, "cannot open " + path + ": " + errorText(copy.error())};
    }
    if (!original.openAt(keeper.folder.fd(), keeper.name.c_str())) {
        return {Outcome::Failed, "cannot open " + kept + ": " + errorText(original.error())};
    }
    if (copy.status().st_dev != target.status->device ||
        copy.status().st_ino != target.status->inode) {
        return {Outcome::Failed, "changed while it was checked"};
    }
    std::string detail;
    switch (compareOpenFiles(copy, original, detail)) {
        case Comparison::Differ:
            return {Outcome::Differs, detail + " from " + kept};
        case Comparison::Unreadable:
            return {Outcome::Failed, detail};
        case Comparison::Same:
            break;
    }
    // The file compared must still be the one in that folder when it is unlinked.
    int error = 0;
    if (!TreeRemover::removeCheckedFile(target.folder, target.name.c_str(), *target.status,
                                        error)) {
        return {Outcome::Failed,
                error == ESTALE ? "changed while it was checked" : errorText(error)};
    }
    return {Outcome::Removed, {}};
}
