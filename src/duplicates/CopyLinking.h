// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/fs/RemovalOutcome.h"
#include "duplicates/DuplicateRemoval.h"

namespace quillby {

// How a copy gives way to the file that stays while its path keeps the content.
enum class LinkKind {
    Hard,     // another name of the file that stays: later changes show under every name
    Reflink,  // a clone sharing the blocks of the file that stays: each name stays its own file
};

// The kind named "hard" or "reflink"; nothing for any other name.
std::optional<LinkKind> linkKindNamed(std::string_view name);

// Replaces one copy of a duplicate with a link to the copy that stays, so that its space is
// freed and its path still gives the same bytes. The link (or clone) is made under a temporary
// name beside the copy, the copy is compared byte for byte with it, and only then is it renamed
// over the copy through the deletion gate, in one step: at every moment the copy's path holds
// either the copy or the same bytes. On any failure the temporary name goes and the copy stays
// as it was. Files are judged by what they are (device and inode, never through a link), and
// the copy must still be the file the search found.
class CopyLinking {
  public:
    enum class Outcome {
        Replaced,
        AlreadyLinked,      // already a name of the file that stays: nothing to do, nothing freed
        Differs,            // not the same bytes (changed since the search): left untouched
        Changed,            // no longer the file the search found
        SameEntry,          // both paths name one directory entry
        NotRegularFile,     // a folder, link or other item where a file was listed
        OwnerOrModeDiffer,  // a hard link would give the copy's path another owner or mode
        OtherFileSystem,    // no link reaches across file systems
        CannotShareBlocks,  // the file system refused the clone; detail says why
        PermissionDenied,   // the user may not change the copy's folder or the files
        Gone,               // the copy is no longer there
        Refused,            // the deletion gate keeps it (a system folder, a mount point, ...)
        Failed,             // for another reason, in detail
    };
    struct Result {
        Outcome outcome = Outcome::Failed;
        std::string detail;  // the reason, for a report line
        // What the replacement freed: the copy's blocks that no other file shares, as the file
        // system reports its extents (FIEMAP), or its allocated blocks where it does not say;
        // nothing while the copy has other names.
        std::uint64_t bytesFreed = 0;
        int error = 0;  // the errno behind PermissionDenied, Gone or Failed, when known
    };
    struct Request {
        LinkKind kind = LinkKind::Hard;
        // Hard links of files whose owner, group or permissions differ (the user said so).
        bool evenWithOtherOwnerOrMode = false;
        // The identities the search listed the copy and the copy that stays with, when known.
        std::optional<ItemIdentity> listedCopy;
        std::optional<ItemIdentity> listedKept;
    };

    // Replaces the regular file `path` with a link to `kept`, as `request` asks; `scope` says
    // where the searched folder is and which gate the renames pass.
    static Result replaceWithLink(const std::string& path, const std::string& kept,
                                  const Request& request,
                                  const DuplicateRemoval::Scope& scope = {});
};

}  // namespace quillby
