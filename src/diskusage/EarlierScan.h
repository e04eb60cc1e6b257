// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

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
            if (!child) continue;
            entry.children[nameOf(child->path())] = sizeOf(*child);
            record(*child, rootPath, depth - 1, sizeOf);
        }
    }
    // `path` relative to `root` ("" for the root itself).
    static std::string below(const std::string& root, const std::string& path);

    std::map<std::string, Entry> entries_;
};

}  // namespace quillby
