// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "core/apps/AppItems.h"
#include "core/fs/DeletionGate.h"
#include "platform/PlatformContext.h"

namespace quillby {

// An item an application leaves, found without following a link, with the identity it had.
struct FoundItem {
    std::string path;
    ItemIdentity identity;
};

// What an application leaves beyond its entry and its data: the program a user's entry starts
// from inside the home, with the program's own folder, and the user's login items that start it.
// Everything is judged by what it is (reached from the home without links, its owner, its disk
// and inode) and by the deletion gate's rules; the home, the XDG base folders and the folders
// many programs share (~/.local/bin, ~/bin, ~/Applications, ...) are never taken as a whole.
class UserProgramFiles {
  public:
    // `configHome` is the user's settings folder (its "autostart" holds the login items); the
    // gate judges every item as its removal would.
    UserProgramFiles(const PlatformContext& context, std::filesystem::path configHome,
                     const DeletionGate& gate);

    // The program of a user's entry (AppSource::UserEntry) when it lies in the home and is the
    // user's: its own folder when it has one (named after the program or the application,
    // holding no shared folder, not a working copy), else the file alone; a link to it in the home
    // comes first. Nothing for other sources, for a program outside the home, or a link that leads
    // out.
    std::vector<FoundItem> program(const AppItems& app) const;

    // The user's login items that start `app`: the entry of its desktop-file ID, and entries
    // whose command is the application's own or whose program is one of `programs` (the
    // application's files: its program, an AppImage).
    std::vector<FoundItem> loginItems(const AppItems& app,
                                      const std::vector<FoundItem>& programs) const;

  private:
    // The folder that is the program's own, or nothing.
    std::optional<FoundItem> ownFolder(const std::filesystem::path& file,
                                       const std::vector<std::string>& names) const;
    bool isShared(const std::filesystem::path& folder, const ItemIdentity& identity) const;
    bool mayGo(const std::string& path, const EntryStatus& status) const;

    const PlatformContext& context_;
    std::filesystem::path home_;
    std::filesystem::path configHome_;
    const DeletionGate& gate_;
    std::vector<std::filesystem::path> sharedFolders_;
    std::vector<ItemIdentity> sharedIdentities_;
};

}  // namespace quillby
