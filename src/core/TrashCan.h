#pragma once

#include <ctime>
#include <filesystem>
#include <string>

#include "core/FolderHandle.h"

// The user's home trash, as every file manager reads it: `files/` holds the trashed items and
// `info/NAME.trashinfo` says where each came from and when, so an item moved there can be put
// back. Items are moved by renaming, never copied: only an item on the trash's own disk can go.
class TrashCan {
  public:
    enum class Outcome {
        Moved,
        Missing,          // there is no item at that path
        OtherFileSystem,  // the item lies on another disk: nothing was changed
        Failed,           // nothing was changed; `error` says why
    };
    struct Result {
        Outcome outcome = Outcome::Failed;
        std::string trashedName;  // the item's name in files/ (a free one: "name", "name.2", ...)
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
    std::filesystem::path dataHome_;
};
