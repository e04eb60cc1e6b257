// SPDX-License-Identifier: GPL-3.0-or-later
#include "duplicates/CopyLinking.h"

#include <fcntl.h>
#include <linux/fiemap.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <random>
#include <vector>

#include "core/fs/DeletionGate.h"
#include "duplicates/ContentComparison.h"
#include "duplicates/FileContentReader.h"
#include "duplicates/PlacedFile.h"

namespace quillby {

std::optional<LinkKind> linkKindNamed(std::string_view name) {
    if (name == "hard") return LinkKind::Hard;
    if (name == "reflink") return LinkKind::Reflink;
    return std::nullopt;
}

namespace {

using Outcome = CopyLinking::Outcome;
using Result = CopyLinking::Result;

ItemIdentity identityOfStatus(const struct stat& status) {
    return {status.st_dev, static_cast<std::uint64_t>(status.st_ino)};
}

Result failure(int error, const std::string& what) {
    if (error == ELOOP) return {Outcome::Refused, refusalText(RefusalRule::LinkOnTheWay)};
    if (error == EXDEV) {
        return {Outcome::OtherFileSystem, "it is on another file system than the copy that stays",
                0, error};
    }
    Outcome outcome = error == ENOENT            ? Outcome::Gone
                      : rightsMayOvercome(error) ? Outcome::PermissionDenied
                                                 : Outcome::Failed;
    return {outcome, what + failureText(error), 0, error};
}

// Why a clone was refused, in words: most file systems cannot share blocks at all.
Result cloneRefused(int error) {
    switch (error) {
        case EOPNOTSUPP:
        case ENOTTY:
        case ENOSYS:
            return {Outcome::CannotShareBlocks, "the file system cannot share blocks", 0, error};
        case EINVAL:
            return {Outcome::CannotShareBlocks,
                    "the file system cannot share blocks between these two files", 0, error};
        default:
            return failure(error, "cannot clone the copy that stays: ");
    }
}

std::string ownerAndMode(const struct stat& status) {
    char mode[8];
    std::snprintf(mode, sizeof mode, "%04o", static_cast<unsigned>(status.st_mode & 07777));
    return "owner " + std::to_string(status.st_uid) + ":" + std::to_string(status.st_gid) +
           ", mode " + mode;
}

bool sameOwnerAndMode(const struct stat& a, const struct stat& b) {
    return a.st_uid == b.st_uid && a.st_gid == b.st_gid &&
           (a.st_mode & 07777) == (b.st_mode & 07777);
}

// The bytes of the open file that no other file holds: its extents the file system does not
// mark as shared (inline data takes no block of its own), or its allocated blocks where the
// file system keeps no extent map.
std::uint64_t bytesOnlyItHolds(int fd, const struct stat& status) {
    constexpr unsigned kExtents = 128;
    std::vector<std::uint64_t> storage(
        (sizeof(fiemap) + kExtents * sizeof(fiemap_extent)) / sizeof(std::uint64_t) + 1);
    auto* map = reinterpret_cast<fiemap*>(storage.data());
    std::uint64_t own = 0;
    for (std::uint64_t start = 0;;) {
        std::memset(map, 0, sizeof(fiemap));
        map->fm_start = start;
        map->fm_length = FIEMAP_MAX_OFFSET - start;
        map->fm_flags = FIEMAP_FLAG_SYNC;
        map->fm_extent_count = kExtents;
        if (::ioctl(fd, FS_IOC_FIEMAP, map) != 0) {
            return static_cast<std::uint64_t>(status.st_blocks) * 512;
        }
        if (map->fm_mapped_extents == 0) return own;
        for (unsigned i = 0; i < map->fm_mapped_extents; ++i) {
            const fiemap_extent& extent = map->fm_extents[i];
            if (!(extent.fe_flags & (FIEMAP_EXTENT_SHARED | FIEMAP_EXTENT_DATA_INLINE))) {
                own += extent.fe_length;
            }
            if (extent.fe_flags & FIEMAP_EXTENT_LAST) return own;
            start = extent.fe_logical + extent.fe_length;
        }
    }
}

// Gives the clone `to` what made the copy `from` its own file besides its bytes: its extended
// attributes, owner, permissions and times. 0 or the errno of what could not be given.
int takeOverAttributes(int from, const struct stat& copy, int to, std::string& what) {
    what = "its extended attributes";
    ssize_t length = ::flistxattr(from, nullptr, 0);
    if (length < 0 && errno != ENOTSUP) return errno;
    std::vector<char> names(static_cast<std::size_t>(std::max<ssize_t>(length, 0)));
    if (length > 0) length = ::flistxattr(from, names.data(), names.size());
    if (length < 0 && errno != ENOTSUP) return errno;
    for (ssize_t at = 0; at < length; at += static_cast<ssize_t>(std::strlen(&names[at])) + 1) {
        const char* name = &names[static_cast<std::size_t>(at)];
        ssize_t size = ::fgetxattr(from, name, nullptr, 0);
        std::vector<char> value(static_cast<std::size_t>(std::max<ssize_t>(size, 0)));
        if (size > 0) size = ::fgetxattr(from, name, value.data(), value.size());
        if (size < 0 || ::fsetxattr(to, name, value.data(), static_cast<std::size_t>(size), 0)) {
            return errno;
        }
    }
    what = "its owner";
    if (::fchown(to, copy.st_uid, copy.st_gid) != 0) return errno;
    what = "its permissions";
    if (::fchmod(to, copy.st_mode & 07777) != 0) return errno;
    what = "its times";
    const timespec times[2] = {copy.st_atim, copy.st_mtim};
    if (::futimens(to, times) != 0) return errno;
    return 0;
}

// The temporary name beside the copy that becomes its link: made once, then either renamed over
// the copy or taken away again through the gate.
class StandIn {
  public:
    StandIn(const PlacedFile& copy, std::string parentPath, const DeletionGate& gate)
        : copy_(copy), parentPath_(std::move(parentPath)), gate_(gate) {}
    StandIn(const StandIn&) = delete;
    StandIn& operator=(const StandIn&) = delete;

    // Another name of the entry `name` of `folder`. 0 or the errno.
    int linkTo(const FolderHandle& folder, const std::string& name) {
        return make([&] {
            return ::linkat(folder.fd(), name.c_str(), copy_.folder.fd(), name_.c_str(), 0) == 0;
        });
    }
    // A new, empty file, open for writing in `fd`. 0 or the errno.
    int create(int& fd) {
        return make([&] {
            fd = ::openat(copy_.folder.fd(), name_.c_str(),
                          O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
            return fd >= 0;
        });
    }
    const std::string& name() const { return name_; }
    bool made() const { return made_; }
    void setIdentity(ItemIdentity identity) { identity_ = identity; }
    const ItemIdentity& identity() const { return identity_; }
    void placed() { made_ = false; }
    // Takes the temporary name away; adds to `result` why it could not.
    Result discard(Result result) {
        if (!made_) return result;
        made_ = false;
        RemovalOutcome removal = gate_.removeEntryOf(copy_.folder, parentPath_, name_, identity_,
                                                     DeletionGate::Disposal::Delete);
        if (removal.kind != RemovalOutcome::Kind::Removed) {
            result.detail += "; the temporary " + removal.path + " is left: " + removal.reason();
        }
        return result;
    }

  private:
    template <class Make>
    int make(const Make& attempt) {
        thread_local std::mt19937_64 random(std::random_device{}());
        for (int tries = 0; tries < 16; ++tries) {
            char text[40];
            std::snprintf(text, sizeof text, ".quillby-link-%016llx",
                          static_cast<unsigned long long>(random()));
            name_ = text;
            if (attempt()) {
                made_ = true;
                auto status = entryStatusAt(copy_.folder.fd(), name_.c_str());
                if (status) identity_ = identityOf(*status);
                return 0;
            }
            if (errno != EEXIST) return errno;
        }
        return EEXIST;
    }

    const PlacedFile& copy_;
    std::string parentPath_;
    const DeletionGate& gate_;
    std::string name_;
    ItemIdentity identity_;
    bool made_ = false;
};

// What the gate's answer to a judgement or a rename means for the copy.
Result gateAnswer(const RemovalOutcome& outcome) {
    switch (outcome.kind) {
        case RemovalOutcome::Kind::Removed:
        case RemovalOutcome::Kind::Trashed:
            return {Outcome::Replaced};
        case RemovalOutcome::Kind::Vanished:
            return failure(ENOENT, "");
        case RemovalOutcome::Kind::Refused:
            if (outcome.rule == RefusalRule::ChangedSinceListed) {
                return {Outcome::Changed, "changed while it was checked"};
            }
            return {Outcome::Refused, outcome.reason()};
        case RemovalOutcome::Kind::Failed:
            break;
    }
    Result result = failure(outcome.error, "");
    if (!outcome.detail.empty()) result.detail = outcome.detail;
    return result;
}

}  // namespace

CopyLinking::Result CopyLinking::replaceWithLink(const std::string& path, const std::string& kept,
                                                 const Request& request,
                                                 const DuplicateRemoval::Scope& scope) {
    PlacedFile target(path, scope.searched), keeper(kept, scope.searched);
    if (!target.found()) return failure(target.error, "");
    if (target.status->kind != EntryKind::Regular) {
        return {Outcome::NotRegularFile, "not a regular file"};
    }
    if (request.listedCopy && identityOf(*target.status) != *request.listedCopy) {
        return {Outcome::Changed, "it is no longer the file the search found"};
    }
    if (!keeper.found() || keeper.status->kind != EntryKind::Regular) {
        return {Outcome::Failed, "the copy that stays cannot be read: " +
                                     failureText(keeper.found() ? EINVAL : keeper.error)};
    }
    if (request.listedKept && identityOf(*keeper.status) != *request.listedKept) {
        return {Outcome::Changed, "the copy that stays is no longer the file the search found"};
    }
    if (sameDirectoryEntry(target, keeper)) {
        return {Outcome::SameEntry, "it is the same directory entry as " + kept};
    }
    // The copy that stays is never read here, only held open: it needs no buffer to speak of.
    FileContentReader copy, original(4096);
    if (!copy.openAt(target.folder.fd(), target.name.c_str())) {
        return failure(copy.error(), "cannot open it: ");
    }
    if (!original.openAt(keeper.folder.fd(), keeper.name.c_str())) {
        return failure(original.error(), "cannot open " + kept + ": ");
    }
    if (identityOfStatus(copy.status()) != identityOf(*target.status) ||
        identityOfStatus(original.status()) != identityOf(*keeper.status)) {
        return {Outcome::Changed, "changed while it was checked"};
    }
    if (request.kind == LinkKind::Hard) {
        if (identityOf(*target.status) == identityOf(*keeper.status)) {
            return {Outcome::AlreadyLinked, "it is already a name of " + kept};
        }
        // A hard link shows the kept file's owner and permissions under the copy's path too.
        if (!request.evenWithOtherOwnerOrMode &&
            !sameOwnerAndMode(copy.status(), original.status())) {
            return {Outcome::OwnerOrModeDiffer,
                    "owner or mode differ: " + ownerAndMode(copy.status()) + " against " +
                        ownerAndMode(original.status()) + " of " + kept};
        }
    }

    std::optional<DeletionGate> own;
    const DeletionGate& gate =
        scope.gate ? *scope.gate : own.emplace(DuplicateRemoval::removalGate());
    std::string parentPath = PlacedFile::parentPathOf(path, target.name);
    // Nothing is made beside a copy the gate would not let go.
    if (auto judged =
            gate.judgeEntryOf(target.folder, parentPath, target.name, identityOf(*target.status))) {
        return gateAnswer(*judged);
    }

    StandIn standIn(target, parentPath, gate);
    if (request.kind == LinkKind::Hard) {
        if (int error = standIn.linkTo(keeper.folder, keeper.name)) {
            return failure(error, "cannot make the link beside it: ");
        }
        // Linked by name: it must be the file that stays, not one put in its place since.
        if (standIn.identity() != identityOfStatus(original.status())) {
            return standIn.discard({Outcome::Changed, "the copy that stays changed meanwhile"});
        }
    } else {
        int fd = -1;
        if (int error = standIn.create(fd)) {
            return failure(error, "cannot make the clone beside it: ");
        }
        std::string what;
        int error = ::ioctl(fd, FICLONE, original.descriptor()) == 0 ? 0 : errno;
        Result refusal = error ? cloneRefused(error) : Result{};
        if (!error) {
            error = takeOverAttributes(copy.descriptor(), copy.status(), fd, what);
            if (error) refusal = failure(error, "the clone cannot take " + what + ": ");
        }
        if (::close(fd) != 0 && !error) {
            error = errno;
            refusal = failure(error, "cannot write the clone: ");
        }
        if (error) return standIn.discard(refusal);
    }

    // Compared once more, the copy as it is now against exactly what takes its place.
    FileContentReader replacement;
    if (!replacement.openAt(target.folder.fd(), standIn.name().c_str()) ||
        identityOfStatus(replacement.status()) != standIn.identity()) {
        return standIn.discard({Outcome::Failed, "the temporary link cannot be read back"});
    }
    std::string detail;
    Comparison comparison = compareOpenFiles(copy, replacement, detail);
    if (comparison == Comparison::Differ) {
        return standIn.discard(
            {Outcome::Differs, detail + " from " + kept + "; it was left as it was"});
    }
    if (comparison == Comparison::Unreadable) return standIn.discard({Outcome::Failed, detail});

    // Counted before the rename: once the copy's last name is gone its blocks are free.
    struct stat now {};
    std::uint64_t freed = 0;
    if (::fstat(copy.descriptor(), &now) == 0 && now.st_nlink <= 1) {
        freed = bytesOnlyItHolds(copy.descriptor(), now);
    }
    Result result = gateAnswer(gate.replaceEntryOf(target.folder, parentPath, target.name,
                                                   identityOf(*target.status), standIn.name(),
                                                   standIn.identity()));
    if (result.outcome != Outcome::Replaced) return standIn.discard(result);
    standIn.placed();
    result.bytesFreed = freed;
    return result;
}

}  // namespace quillby
