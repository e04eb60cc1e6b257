// SPDX-License-Identifier: GPL-3.0-or-later
#include "clean/CleanableEntries.h"

#include <cerrno>
#include <cstring>
#include <vector>

#include "core/events/Log.h"
#include "core/fs/DirectoryReader.h"

namespace quillby {

namespace {

bool isOtherFileSystem(const EntryStatus& status, const FolderHandle& parent) {
    return status.kind == EntryKind::Directory &&
           (status.isMountRoot || status.device != parent.device());
}

bool visitFolder(const FolderHandle& folder, const std::string& path, EntryVerdict verdict,
                 int depth, const CleanRule& rule, const CleanableEntries::Visitor& visit) {
    int error = 0;
    std::vector<std::string> names = DirectoryReader::allNames(folder.fd(), &error);
    if (error) QWLog("Cannot list %s: %s", path.c_str(), std::strerror(error));
    for (const auto& name : names) {
        auto status = entryStatusAt(folder.fd(), name.c_str());
        if (!status || isOtherFileSystem(*status, folder)) continue;
        EntryVerdict entryVerdict = rule.judge({name, status->kind, depth + 1, verdict});
        if (entryVerdict == EntryVerdict::Keep) continue;
        if (entryVerdict == EntryVerdict::Descend) {
            if (status->kind != EntryKind::Directory) continue;
            FolderHandle child = FolderHandle::openChild(folder, name.c_str(), true, error);
            if (!child.isOpen()) {
                QWLog("Cannot look into %s/%s: %s", path.c_str(), name.c_str(),
                      std::strerror(error));
                if (error != EACCES) continue;
                // What the user may not read is still the category's: a clean hands it to the
                // helper or reports it, never passes over it in silence.
                CleanableEntry unreadable{&folder,      path,         name,     status->kind,
                                          status->size, entryVerdict, depth + 1};
                unreadable.unreadable = true;
                if (!visit(unreadable)) return false;
                continue;
            }
            if (!visitFolder(child, path + "/" + name, entryVerdict, depth + 1, rule, visit)) {
                return false;
            }
            continue;
        }
        CleanableEntry entry{&folder,      path,         name,     status->kind,
                             status->size, entryVerdict, depth + 1};
        if (!visit(entry)) return false;
    }
    return true;
}

}  // namespace

bool CleanableEntries::forEach(const CleanFolder& folder, const Visitor& visit, int* openError) {
    int error = 0;
    FolderHandle root = folder.open(error);
    if (openError) *openError = root.isOpen() ? 0 : error;
    if (!root.isOpen()) return false;
    return visitFolder(root, folder.path.string(), EntryVerdict::Descend, 0, *folder.rule, visit);
}

CleanableEntries::Lookup CleanableEntries::withItem(const CleanFolder& folder,
                                                    const std::filesystem::path& item,
                                                    const Visitor& visit) {
    std::filesystem::path relative = item.lexically_relative(folder.path);
    std::vector<std::string> components;
    for (const auto& part : relative) {
        std::string text = part.string();
        if (text.empty() || text == "." || text == "..") return Lookup::Refused;
        components.push_back(text);
    }
    if (components.empty()) return Lookup::Refused;

    int error = 0;
    FolderHandle current = folder.open(error);
    if (!current.isOpen()) return error == ENOENT ? Lookup::Gone : Lookup::Refused;
    std::string currentPath = folder.path.string();
    EntryVerdict verdict = EntryVerdict::Descend;
    for (std::size_t i = 0; i < components.size(); ++i) {
        const std::string& name = components[i];
        int depth = static_cast<int>(i) + 1;
        auto status = entryStatusAt(current.fd(), name.c_str());
        if (!status) return errno == ENOENT ? Lookup::Gone : Lookup::Refused;
        if (isOtherFileSystem(*status, current)) return Lookup::Refused;
        EntryVerdict entryVerdict = folder.rule->judge({name, status->kind, depth, verdict});
        if (i + 1 == components.size()) {
            if (entryVerdict != EntryVerdict::Clean && entryVerdict != EntryVerdict::CleanAll) {
                return Lookup::Refused;
            }
            CleanableEntry entry{&current,     currentPath,  name, status->kind,
                                 status->size, entryVerdict, depth};
            visit(entry);
            return Lookup::Visited;
        }
        // Listed items are the top-most cleanable entries: everything above one is looked into.
        if (entryVerdict != EntryVerdict::Descend || status->kind != EntryKind::Directory) {
            return Lookup::Refused;
        }
        FolderHandle child = FolderHandle::openChild(current, name.c_str(), true, error);
        if (!child.isOpen()) return error == ENOENT ? Lookup::Gone : Lookup::Refused;
        current = std::move(child);
        currentPath += "/" + name;
        verdict = entryVerdict;
    }
    return Lookup::Refused;
}

TreeTotals CleanableEntries::measure(const CleanFolder& folder, const CleanableEntry& entry,
                                     TreeMeasure::Options options, bool* stopped) {
    options.judge = folder.rule.get();
    options.sameFileSystem = true;
    TreeMeasure walk(std::move(options));
    TreeTotals totals = walk.measureEntry(*entry.parent, entry.name.c_str(), entry.kind,
                                          entry.ownSize, entry.verdict, entry.depth);
    totals.entries += 1;
    if (stopped) *stopped = walk.stopped();
    return totals;
}

}  // namespace quillby
