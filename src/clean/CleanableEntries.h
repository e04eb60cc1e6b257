// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>

#include "clean/CleanFolder.h"
#include "core/fs/EntryJudge.h"
#include "core/fs/FolderHandle.h"
#include "core/fs/TreeMeasure.h"

namespace quillby {

// An entry of a category folder that its rule lets go, with the open folder holding it.
struct CleanableEntry {
    const FolderHandle* parent = nullptr;
    std::string parentPath;
    std::string name;
    EntryKind kind = EntryKind::Other;
    std::uint64_t ownSize = 0;  // the entry's own size (for a folder, that of the folder entry)
    EntryVerdict verdict = EntryVerdict::Clean;
    int depth = 1;
    // A folder the rule looks into that the user may not read: listed for the clean (only the
    // privileged helper can judge its contents), never measured or shown in a scan.
    bool unreadable = false;

    std::string path() const { return parentPath + "/" + name; }
};

// Finds the cleanable entries of a category folder: the entries its rule lets go, looking into
// the folders the rule says to look into (never into one it keeps, never through a link,
// never into another file system).
class CleanableEntries {
  public:
    using Visitor = std::function<bool(const CleanableEntry& entry)>;

    // Calls `visit` for every top-most cleanable entry, in listing order, parents first; stops
    // when it gives false. The entry may be deleted by the visitor. A folder inside that cannot
    // be read is logged; one the user has no right to read is given as `unreadable`. Gives false
    // when the folder itself cannot be opened (it is missing, a link or unreadable; `openError`
    // then tells why) or the visitor stopped.
    static bool forEach(const CleanFolder& folder, const Visitor& visit, int* openError = nullptr);

    enum class Lookup { Visited, Gone, Refused };
    // Finds a listed item again, judging every folder on the way and the item itself anew, and
    // calls `visit` for it. Gone: it no longer exists. Refused: it lies outside the folder, or
    // the rule no longer lets it go, or the way to it changed (a link, another file system).
    static Lookup withItem(const CleanFolder& folder, const std::filesystem::path& item,
                           const Visitor& visit);

    // What the entry holds that the rule lets go: its bytes and its entries (itself included).
    // `stopped` tells whether the walk's stop request cut it short.
    static TreeTotals measure(const CleanFolder& folder, const CleanableEntry& entry,
                              TreeMeasure::Options options = {}, bool* stopped = nullptr);
};

}  // namespace quillby
