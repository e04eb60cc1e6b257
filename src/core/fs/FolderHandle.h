// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <sys/types.h>
#include <string>

namespace quillby {

// An open folder (a descriptor closed with the handle) and the disk it lives on. Walkers open
// every folder through it so that no link is followed and, when asked, no other file system is
// entered: the checks run on the opened descriptor, so a folder swapped for a link between a
// look and the open cannot slip through.
class FolderHandle {
  public:
    FolderHandle() = default;
    ~FolderHandle();
    FolderHandle(FolderHandle&& other) noexcept;
    FolderHandle& operator=(FolderHandle&& other) noexcept;
    FolderHandle(const FolderHandle&) = delete;
    FolderHandle& operator=(const FolderHandle&) = delete;

    bool isOpen() const { return fd_ >= 0; }
    int fd() const { return fd_; }
    dev_t device() const { return device_; }

    // Opens `name` inside `parent` for reading. Fails (isOpen() false, `error` set) with ENOTDIR
    // or ELOOP when it is a link or not a folder, and, with sameFileSystem, with EXDEV when it is
    // the root of a mount or lies on another disk than `parent`.
    static FolderHandle openChild(const FolderHandle& parent, const char* name, bool sameFileSystem,
                                  int& error);
    // Opens `name` inside `parent` for reading on the way to a folder that may be a mount of its
    // own (a /var/log on its own disk): refuses a link (ELOOP or ENOTDIR) like openChild, and
    // records the disk the folder really lives on.
    static FolderHandle openStep(const FolderHandle& parent, const char* name, int& error);
    // Opens an absolute path for reading; its last component must not be a link (the folders on
    // the way may be, as a user's home may sit behind one).
    static FolderHandle openFolder(const std::string& path, int& error);
    // Opens a folder trusted as it is (a home, a volume's root) for reading, following links on
    // the way and at its end: the start from which folders below are opened link by link.
    static FolderHandle openTrusted(const std::string& path, int& error);
    // Opens an absolute path as a location for looking up, opening and unlinking entries,
    // following links on the way and at its end (a user's own folder reached through a link).
    // The path may be longer than PATH_MAX.
    static FolderHandle openLocation(const std::string& path, int& error);
    // Opens `name` inside `parent` as a location for looking up, opening and unlinking entries
    // (no read right needed), refusing a link with ELOOP and anything else that is not a folder
    // with ENOTDIR.
    static FolderHandle openLocationStep(const FolderHandle& parent, const char* name, int& error);
    // Opens the folder holding the last component of an absolute, normalised path, refusing
    // (ELOOP) any link on the way; gives that component in `name`. The handle can be used to
    // look up, open and unlink entries, not to list them.
    static FolderHandle openParentWithoutLinks(const std::string& path, std::string& name,
                                               int& error);

  private:
    FolderHandle(int fd, dev_t device) : fd_(fd), device_(device) {}
    static FolderHandle adopt(int fd, int& error, bool* isMountRoot = nullptr);

    int fd_ = -1;
    dev_t device_ = 0;
};

}  // namespace quillby
