// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace quillby {

// One item of the disk-usage lists (the ring page's list and its selection): name, path, size
// text and the exact byte count it was made from. Pages fetch the icon from the path
// themselves.
struct DiskUsageItem {
    std::string name;
    std::string path;
    std::string size;  // as UtilityFunction::convertVolSpace gives it
    std::uint64_t fileSizeNum = 0;
    bool isDirectory = false;
    // A folder the scan could not read: its size counts only what was read.
    bool unreadable = false;
    // A folder the scan's exclusions left unread: its size says nothing.
    bool excluded = false;
    // A folder's entries directly inside it, when its listing read them.
    std::optional<std::uint64_t> itemCount;
    // The last modification (seconds since the epoch), when the listing read it.
    std::optional<std::int64_t> modified;
    // Since the previous scan of the place, when one is compared: the change in bytes, and
    // `isNew` (the change then being the whole size) for an item that scan lacked. No change
    // for an item it could not tell (a file its folder tree did not keep by name).
    std::optional<std::int64_t> change;
    bool isNew = false;

    // An item for `path` named `name` with `bytes`, its size text made from them.
    static DiskUsageItem make(std::string name, std::string path, std::uint64_t bytes,
                              bool isDirectory);
    // True when `a` goes before `b` in a list sorted largest first by the size texts read back
    // (compareBySize:); equal sizes by name.
    static bool compareBySize(const DiskUsageItem& a, const DiskUsageItem& b);
};

// How the pages mark a folder the scan could not read, with the command line's mark.
inline constexpr const char* kUnreadableMark = "! ";
inline constexpr const char* kUnreadableTip =
    "This folder could not be read: its size may be too small.";
// How the pages mark a folder left unread by the exclusions, with the command line's mark.
inline constexpr const char* kExcludedMark = "[excluded] ";
inline constexpr const char* kExcludedTip = "This folder is excluded from disk-usage scans.";
// "764 folders could not be read: the sizes that contain them may be too small."; empty for 0.
std::string unreadableFoldersText(std::uint64_t count);

}  // namespace quillby
