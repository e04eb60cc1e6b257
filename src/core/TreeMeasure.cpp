#include "core/TreeMeasure.h"

#include <fcntl.h>

#include "core/DirectoryReader.h"
#include "core/EntryStatus.h"

TreeMeasure::TreeMeasure(Options options) : options_(std::move(options)) {}

bool TreeMeasure::checkStop() {
    if (!stopped_ && options_.shouldStop && options_.shouldStop()) stopped_ = true;
    return stopped_;
}

TreeTotals TreeMeasure::measurePath(const std::string& path) {
    TreeTotals totals;
    if (checkStop()) return totals;
    auto status = entryStatusAt(AT_FDCWD, path.c_str());
    if (!status) return totals;
    if (status->kind != EntryKind::Directory) {
        totals.bytes = status->size;
        return totals;
    }
    int error = 0;
    FolderHandle folder = FolderHandle::openFolder(path, error);
    if (folder.isOpen()) measureFolder(folder, EntryVerdict::CleanAll, 0, totals);
    return totals;
}

TreeTotals TreeMeasure::measureEntry(const FolderHandle& parent, const char* name, EntryKind kind,
                                     std::uint64_t size, EntryVerdict verdict, int depth) {
    TreeTotals totals;
    if (verdict == EntryVerdict::Keep) return totals;
    if (kind != EntryKind::Directory) {
        if (verdict != EntryVerdict::Descend) totals.bytes = size;
        return totals;
    }
    if (checkStop()) return totals;
    int error = 0;
    FolderHandle folder = FolderHandle::openChild(parent, name, options_.sameFileSystem, error);
    if (folder.isOpen()) measureFolder(folder, verdict, depth, totals);
    return totals;
}

void TreeMeasure::measureFolder(const FolderHandle& folder, EntryVerdict verdict, int depth,
                                TreeTotals& totals) {
    if (checkStop()) return;
    DirectoryReader reader(folder.fd());
    DirectoryReader::Entry entry;
    while (reader.next(entry)) {
        if (options_.stopAtEveryEntry && checkStop()) return;
        auto kind = entryKindFromListing(entry.type);
        std::uint64_t size = 0;
        if (!kind || *kind != EntryKind::Directory) {
            auto status = entryStatusAt(folder.fd(), entry.name);
            if (!status) continue;  // gone since the listing
            kind = status->kind;
            size = status->size;
        }
        EntryVerdict childVerdict = EntryVerdict::CleanAll;
        if (options_.judge) {
            childVerdict = options_.judge->judge({entry.name, *kind, depth + 1, verdict});
            if (childVerdict == EntryVerdict::Keep) continue;
        }
        if (childVerdict != EntryVerdict::Descend) totals.entries += 1;
        if (*kind != EntryKind::Directory) {
            if (childVerdict != EntryVerdict::Descend) totals.bytes += size;
            continue;
        }
        int error = 0;
        FolderHandle child =
            FolderHandle::openChild(folder, entry.name, options_.sameFileSystem, error);
        if (child.isOpen()) measureFolder(child, childVerdict, depth + 1, totals);
        if (stopped_) return;
    }
}
