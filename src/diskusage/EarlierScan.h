// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "diskusage/ScanTreeWriter.h"

namespace quillby {

// What an earlier scan of a folder held, by path below its root, to tell what changed since:
// what grew or shrank, what is new, what is gone. Paths are taken below each scan's root, so a
// scan of the same folder reached by another path (another mount point, a copied scan file)
// still compares. Only the levels a listing shows need to be recorded.
class EarlierScan {
  public:
    // An entry the earlier scan had and the listing lacks.
    struct Gone {
        std::string name;
        std::uint64_t size = 0;
    };

    // Records `root` and its entries down to `depth` levels below it; `sizeOf` gives a node's
    // size in the listing's measure. Works on the folder tree and the item tree alike.
    template <class Node, class SizeOf>
    static EarlierScan of(const Node& root, int depth, const SizeOf& sizeOf) {
        EarlierScan scan;
        scan.record(root, root.path(), depth, sizeOf);
        return scan;
    }

    // The size the earlier scan gave the entry at `path` below `root`; nothing when it had no
    // such entry (it is new).
    std::optional<std::uint64_t> sizeOf(const std::string& root, const std::string& path) const;
    // The entries directly inside the folder at `path` that the earlier scan had and `present`
    // (the names listed now) lacks, largest first.
    std::vector<Gone> goneFrom(const std::string& root, const std::string& path,
                               const std::vector<std::string>& present) const;

    // A change for the reader: "+2.10 GB", "-300.00 MB", "0.00 KB" for none.
    static std::string changeText(std::int64_t change);
    // "2 folders gone since 2026-12-07 14:05 (1.20 GB): cache, old" with `one` and `many`
    // naming what went and `since` when it was measured; "" when nothing went.
    static std::string goneText(const std::vector<Gone>& gone, const char* one, const char* many,
                                const std::string& since);
    // The name an entry is compared by: the last part of its path.
    static std::string nameOf(const std::string& path);

  private:
    struct Entry {
        std::uint64_t size = 0;
        std::map<std::string, std::uint64_t> children;  // name → size, when recorded
    };

    template <class Node, class SizeOf>
    void record(const Node& node, const std::string& rootPath, int depth, const SizeOf& sizeOf) {
        Entry& entry = entries_[below(rootPath, node.path())];
        entry.size = sizeOf(node);
        if (depth <= 0) return;
        for (const auto& child : node.children) {
            // A kept scan's stand-in for the files its tree did not keep is no entry of its own.
            if (!child || nameOf(child->path()) == kOtherFilesName) continue;
            entry.children[nameOf(child->path())] = sizeOf(*child);
            record(*child, rootPath, depth - 1, sizeOf);
        }
    }
    // `path` relative to `root` ("" for the root itself).
    static std::string below(const std::string& root, const std::string& path);

    std::map<std::string, Entry> entries_;
};

// Every item's change in an item tree against an earlier item tree of the same place, worked
// out once by walking both trees side by side, entries matched by name, so that a view of any
// folder reads its rows' changes at once.
class ItemTreeChanges {
  public:
    struct Change {
        std::int64_t bytes = 0;
        bool isNew = false;  // the earlier scan lacked the item; `bytes` is then its whole size
    };

    // An item the earlier tree had has its change; a folder it lacked, and anything inside
    // such a folder, is new. A file it lacked in a folder it had gets none: the earlier tree
    // kept only the files at or above its size limit, so the file may have been there, smaller.
    static ItemTreeChanges between(const FSNode& now, const FSNode& earlier);

    // The change of `node`, an item of the tree compared; nothing when none is known.
    std::optional<Change> of(const FSNode* node) const;
    // The words for a change: "new", "+2.10 GB", "-300.00 MB"; "" when none is known.
    std::string textOf(const FSNode* node) const;
    // The items the earlier tree had directly in the folder `node` that it lacks now, largest
    // first; empty for a folder the earlier tree lacked.
    const std::vector<EarlierScan::Gone>& goneFrom(const FSNode* node) const;

  private:
    std::unordered_map<const FSNode*, Change> changes_;
    std::unordered_map<const FSNode*, std::vector<EarlierScan::Gone>> gone_;
};

}  // namespace quillby
