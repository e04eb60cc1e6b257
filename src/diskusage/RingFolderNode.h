// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace quillby {

// One folder of the ring chart's tree. Files only add to the size of their folder: `size` is
// the sum of the sizes of every non-folder entry in the folder's whole subtree. A node keeps its
// own name (the root keeps its whole path) and builds its path on demand, so paths of any
// length work; a path always ends in "/".
class RingFolderNode {
  public:
    // A node with no name, no children, sort flag 1 and every number 0, inside `parent`.
    explicit RingFolderNode(RingFolderNode* parent = nullptr);
    // Releases the subtree without recursion, so that trees of any depth can be released.
    ~RingFolderNode();
    RingFolderNode(const RingFolderNode&) = delete;
    RingFolderNode& operator=(const RingFolderNode&) = delete;

    // A root node for the folder at `path`; "/" is appended unless it already ends with one.
    static std::unique_ptr<RingFolderNode> makeRoot(std::string_view path);
    // A new node named `name` whose parent is this node; the caller puts it into `children`.
    std::unique_ptr<RingFolderNode> makeChild(std::string_view name);

    // The folder's absolute path, ending in "/".
    std::string path() const;
    // The folder's own name; the root's is its whole path.
    const std::string& name() const { return name_; }
    // Number of entries in `children`, emptied ones included.
    std::int64_t count() const { return static_cast<std::int64_t>(children.size()); }

    // The child folders; an entry is empty after its folder was removed.
    std::vector<std::unique_ptr<RingFolderNode>> children;
    // 1 at creation: the scan sorts the children, largest first.
    std::int32_t sortFlag = 1;
    // Set by the ring layout when the sector is 3 degrees or narrower.
    bool hidden = false;
    double startAngle = 0.0;
    double sweep = 0.0;
    // Seconds since the epoch; read by the sector colouring, never changed by the engine.
    std::int64_t activationTime = 0;
    // Ring depth of the latest layout that reached the node (1 is the centre disc).
    std::int32_t depth = 0;
    std::int64_t size = 0;
    // The scan could not open or read the folder: its size counts only what was read before the
    // failure (often nothing), so it is not an empty folder.
    bool unreadable = false;
    // A folder the scan's exclusions left unread: its size 0 says nothing.
    bool excluded = false;
    RingFolderNode* parent = nullptr;

  private:
    std::string name_;
};

// The first non-empty direct child of `node` whose path equals `path` byte for byte.
RingFolderNode* findChild(const RingFolderNode& node, std::string_view path);

// The node of the tree under `root` whose path equals `path`, or nullptr. Every path ends in
// "/", so the folder /a/b/ is never taken for a part of /a/bc/x/.
RingFolderNode* searchFile(RingFolderNode* root, std::string_view path);

// Children order of a finished folder: larger sizes first, equal sizes by name.
bool isLargerFolder(const std::unique_ptr<RingFolderNode>& a,
                    const std::unique_ptr<RingFolderNode>& b);

}  // namespace quillby
