#pragma once

#include <string>

// Removal of one copy of a duplicate: it happens only after comparing the copy byte for byte
// with a copy that stays, immediately before, because equal checksums are no proof of equal
// content and a removed file cannot come back. Only regular files are removed, never through a
// symbolic link and never recursively; every look, the comparison and the unlink go through one
// descriptor of the folder holding the copy.
class DuplicateRemoval {
  public:
    enum class Outcome {
        Removed,
        Differs,         // the contents are not the same: refused
        SameEntry,       // both paths name one directory entry: removing it loses both
        NotRegularFile,  // a folder, link or other non-regular item: refused
        Failed,          // could not be read or removed
    };
    struct Result {
        Outcome outcome = Outcome::Failed;
        std::string detail;  // the reason, for a report line
    };

    // Removes `path` when it is a regular file whose content equals that of `kept`, a different
    // directory entry (a hard link of the same file is fine: its content stays).
    static Result removeVerifiedCopy(const std::string& path, const std::string& kept);
    // Unlinks a regular file (not a link, not a folder). False with `error` set otherwise.
    static bool removeRegularFile(const std::string& path, int& error);
};
