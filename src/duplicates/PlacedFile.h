// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>

#include "core/fs/EntryStatus.h"
#include "core/fs/FolderHandle.h"

namespace quillby {

// Opens the folder `folderPath`: inside the searched folder `searched`, from it one folder at a
// time without following a link (ELOOP for one swapped in since the search); elsewhere as it is.
FolderHandle openCopysFolder(const std::string& folderPath, const std::string& searched,
                             int& error);

// A member of a duplicate group reached through its folder, opened once: every look, read and
// the final change of its entry go through the same folder descriptor, so a folder swapped for
// a link midway changes nothing.
struct PlacedFile {
    FolderHandle folder;
    std::string name;
    std::optional<EntryStatus> status;  // nothing when the entry could not be read (see error)
    int error = 0;

    PlacedFile(const std::string& path, const std::string& searched);
    bool found() const { return status.has_value(); }
    // The path of the folder holding it, as the path it was placed from spells it.
    static std::string parentPathOf(const std::string& path, const std::string& name);
};

// True when both reach the same entry of the same folder (a bind mount, or a folder reached
// twice), so that removing one removes the other.
bool sameDirectoryEntry(const PlacedFile& a, const PlacedFile& b);

}  // namespace quillby
