// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace quillby {

// One item of the column browser's tree: a folder, or a file at or above the size limit. A
// folder's size counts every item below it, kept or dropped. Nodes made by the scan keep only
// their name and build their path from their father's, so paths of any length work.
class FSNode {
  public:
    // A node for the item at `path` (absolute, without a trailing "/"), with no children and
    // check state 0 (initWithPath:isDirectory:withFather:).
    FSNode(std::string path, bool isDirectory, FSNode* father);
    // A node for the entry `name` of the folder `father` (which must not be null).
    static std::unique_ptr<FSNode> childNamed(std::string_view name, bool isDirectory,
                                              FSNode* father);
    // Releases the subtree without recursion.
    ~FSNode();
    FSNode(const FSNode&) = delete;
    FSNode& operator=(const FSNode&) = delete;

    // The item's absolute path, without a trailing "/" (except for "/" itself).
    std::string path() const;
    // The last component of the path.
    std::string displayName() const;
    // The name the node was made with: a child's own name, or the whole path.
    const std::string& storedName() const { return name_; }
    // Names the node by its whole path from now on (an item moved under a node for another
    // folder keeps its own place).
    void setWholePath(std::string path) {
        name_ = std::move(path);
        nameIsPath_ = true;
    }

    // True when `a` goes before `b`: larger sizes first, equal sizes by name (compareSize:).
    static bool compareSize(const FSNode& a, const FSNode& b);
    // Sorts the children with compareSize, then every child's children, down the whole tree.
    void decendingSort();

    bool isDirectory = false;
    // The items of the folder that passed the size limit.
    std::vector<std::unique_ptr<FSNode>> children;
    // The value set through the browser's own value editing.
    int state = 0;
    // The containing folder's node; null for the root.
    FSNode* father = nullptr;
    std::uint64_t size = 0;
    // The scan could not open or read this folder: its size counts only what was read before the
    // failure (often nothing), so it is not an empty folder.
    bool unreadable = false;
    // A folder the scan's exclusions left unread: its size 0 says nothing.
    bool excluded = false;
    // Check state in the browser: 0 none, 1 all, 2 partly.
    int isButtonState = 0;
    // With state 1: the check stands for the item as a whole, because the user checked it or a
    // folder holding it. False when a folder is only checked because every listed item in it is:
    // removing it then removes those items, never what the list does not show.
    bool checkedWhole = false;

  private:
    FSNode() = default;
    std::string_view lastComponent() const;
    std::string name_;
    bool nameIsPath_ = true;
};

}  // namespace quillby
