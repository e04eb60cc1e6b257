// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <sys/types.h>
#include <cstddef>
#include <cstdint>
#include <string>

namespace quillby {

// What an item is, whatever its path is spelled like: the disk and the inode it had when it was
// listed. A removal goes ahead only while the item found is still that one.
struct ItemIdentity {
    dev_t device = 0;
    std::uint64_t inode = 0;

    friend bool operator==(const ItemIdentity&, const ItemIdentity&) = default;
};

// Why the deletion gate kept an item without trying to remove it.
enum class RefusalRule {
    NotAPlainPath,        // an empty, "." or ".." component: it names another place
    LinkOnTheWay,         // a folder on the way is a symbolic link
    ChangedSinceListed,   // the item found is not the one that was listed
    FileSystemRoot,       // "/" itself
    TopLevelFolder,       // a folder (or file) directly inside "/"
    SystemFolder,         // the operating system's own folders and everything inside them
    HomeFolder,           // the user's home folder
    HoldsHomeFolder,      // a folder that holds the user's home folder
    MountPoint,           // the root of a mount, bind mounts of the same disk included
    OtherUsersHome,       // another user's home folder, as a whole
    HoldsAccountHomes,    // a folder that holds users' home folders
    OutsideChosenFolder,  // not inside the folder the removal was started from
};

// True for an errno of a failed removal that administrator rights may overcome: a permission
// the user lacks (not a read-only disk, which stays read-only for root too).
bool rightsMayOvercome(int error);

// The user's words for the errno of a failed removal ("permission denied", "in use", "not
// found"), never the errno's name.
std::string failureText(int error);

// The one button every removal offers for a retry with administrator rights, and the question
// it answers for `count` items that rights may help.
inline constexpr const char* retryWithRightsButton = "Retry with Administrator Rights";
std::string retryWithRightsQuestion(std::size_t count);

// The user's sentence for a refusal ("your home folder").
const char* refusalText(RefusalRule rule);

// What became of one item the deletion gate was asked to remove: the one outcome type every
// removal reports with.
struct RemovalOutcome {
    enum class Kind {
        Removed,   // deleted for good
        Trashed,   // moved to the trash; trashPath says where
        Refused,   // kept by a rule; rule says which
        Vanished,  // already gone: nothing to do
        Failed,    // something could not be removed; error says why
    };

    std::string path;  // the item as the user knows it
    Kind kind = Kind::Failed;
    RefusalRule rule = RefusalRule::NotAPlainPath;  // with Refused
    std::string trashPath;                          // with Trashed
    int error = 0;                   // with Failed: the errno of the first entry that could not go
    std::string failedEntry;         // with Failed: that entry's path (the item or one inside it)
    std::uint64_t failureCount = 0;  // entries that could not go
    std::uint64_t removedEntries = 0;  // files, links and folders deleted
    // Says more than the error's text when set (what the privileged helper answered).
    std::string detail;

    bool gone() const {
        return kind == Kind::Removed || kind == Kind::Trashed || kind == Kind::Vanished;
    }
    // A failure that administrator rights may overcome (a permission the user lacks).
    bool rightsMayHelp() const;
    // Why it was not removed, for the user: the refusal's sentence or the error's text; empty
    // when it is gone.
    std::string reason() const;

    static RemovalOutcome refused(std::string path, RefusalRule rule);
    static RemovalOutcome failed(std::string path, int error);
    static RemovalOutcome vanished(std::string path);
};

}  // namespace quillby
