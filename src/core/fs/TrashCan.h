// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <ctime>
#include <filesystem>
#include <string>

#include "core/fs/FolderHandle.h"

namespace quillby {

// The user's trash, as every file manager reads it: `files/` holds the trashed items and
// `info/NAME.trashinfo` says where each came from and when, so an item moved there can be put
// back. Items are moved by renaming, never copied: an item on the home trash's disk goes to the
// home trash, any other to its own volume's trash (`$topdir/.Trash/$uid` when `.Trash` is a
// sticky folder, else `$topdir/.Trash-$uid`, made for the user alone).
class TrashCan {
  public:
    enum class Outcome {
        Moved,
        Missing,          // there is no item at that path
        OtherFileSystem,  // no trash on the item's disk could take it: nothing was changed
        Failed,           // nothing was changed; `error` says why
    };
    struct Result {
        Outcome outcome = Outcome::Failed;
        std::string trashedName;  // the item's name in files/ (a free one: "name", "name.2", ...)
        std::string trashFolder;  // the trash it went to (holding files/ and info/)
        int error = 0;
    };

    // The trash at `dataHome`/Trash; it, its folders and `dataHome` itself are made (for the
    // user alone) when missing. A trash folder that is a link is never used.
    explicit TrashCan(std::filesystem::path dataHome);

    // Moves the item at an absolute path into the trash, reaching it without following any link
    // on the way (see moveEntry).
    Result moveToTrash(const std::string& path, std::time_t deletionTime = std::time(nullptr));
    // Moves the entry `name` of the open folder `parent`, known to the user as the absolute
    // `path`, into the trash: its description is written first under a free name, then the
    // item is renamed into files/; a failed rename takes the description back, and an item whose
    // description could not be written is never moved (it could not be put back). The item is
    // moved as it is (a link stays a link).
    Result moveEntry(const FolderHandle& parent, const std::string& name, const std::string& path,
                     std::time_t deletionTime = std::time(nullptr));

    // The description file's text for an item at `path` trashed at `deletionTime` (local time).
    static std::string trashInfoText(const std::string& path, std::time_t deletionTime);

  private:
    // The user's trash on the volume holding the open folder `parent` (whose item is `path`).
    static FolderHandle volumeTrash(const FolderHandle& parent, const std::string& path,
                                    std::string& trashFolder, int& error);

    std::filesystem::path dataHome_;
};

}  // namespace quillby
