// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <atomic>
#include <memory>
#include <string>
#include <string_view>

namespace quillby {

// An open folder whose subfolders are opened relative to it (openat), so that paths of any
// length work and the kernel does not walk the whole path again for every folder. It closes
// its descriptor when the last job that needs it lets go. A folder may give its descriptor
// back early when too many are open; its subfolders are then opened through its ancestors.
class SharedFolderHandle : public std::enable_shared_from_this<SharedFolderHandle> {
  public:
    ~SharedFolderHandle();
    SharedFolderHandle(const SharedFolderHandle&) = delete;
    SharedFolderHandle& operator=(const SharedFolderHandle&) = delete;

    // Opens the folder at the absolute `path` (a final symbolic link is followed, as the chosen
    // folder may be one); nullptr when it cannot be opened.
    static std::shared_ptr<SharedFolderHandle> openPath(const std::string& path);
    // Opens the subfolder `name` without following a symbolic link; nullptr when it cannot.
    std::shared_ptr<SharedFolderHandle> openChild(std::string_view name);

    // The descriptor, or -1 once it was given back.
    int fd() const { return fd_; }
    // Gives the descriptor back when more folders are open than the process should hold; the
    // handle stays usable through openChild. Only before the handle is shared with other
    // threads. True when it was given back.
    bool releaseIfCrowded();

    // Reads how many descriptors the process may hold, before a scan: handles give theirs back
    // once half of that is in use.
    static void measureBudget();

    // Opens a folder path as a descriptor; paths longer than the kernel takes at once are
    // opened one component at a time. -1 on failure.
    static int openFolderPath(const std::string& path);

  private:
    SharedFolderHandle() = default;
    // A fresh descriptor for this folder: its own, duplicated, or reopened from an ancestor.
    int reopen() const;

    int fd_ = -1;
    std::shared_ptr<SharedFolderHandle> parent_;
    std::string name_;  // the name in the parent, or the whole path for a root
};

}  // namespace quillby
