// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/fs/EntryStatus.h"

#include <dirent.h>
#include <fcntl.h>
#include <linux/magic.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/vfs.h>

namespace quillby {

namespace {

EntryKind kindFromMode(mode_t mode) {
    if (S_ISDIR(mode)) return EntryKind::Directory;
    if (S_ISLNK(mode)) return EntryKind::Symlink;
    if (S_ISREG(mode)) return EntryKind::Regular;
    return EntryKind::Other;
}

}  // namespace

std::optional<EntryStatus> entryStatusAt(int folderFd, const char* name) {
    struct statx info {};
    int flags = AT_SYMLINK_NOFOLLOW | AT_STATX_DONT_SYNC | (name[0] == '\0' ? AT_EMPTY_PATH : 0);
    if (::statx(folderFd, name, flags,
                STATX_TYPE | STATX_MODE | STATX_UID | STATX_SIZE | STATX_INO | STATX_NLINK,
                &info) != 0) {
        return std::nullopt;
    }
    EntryStatus status;
    status.kind = kindFromMode(info.stx_mode);
    status.size = info.stx_size;
    status.mode = info.stx_mode;
    status.owner = info.stx_uid;
    status.device = makedev(info.stx_dev_major, info.stx_dev_minor);
    status.inode = info.stx_ino;
    status.linkCount = info.stx_nlink;
    // Kernels before 5.8 do not report mount roots; the device comparison of the walkers then
    // still keeps them out of other disks.
    status.isMountRoot = (info.stx_attributes_mask & STATX_ATTR_MOUNT_ROOT) &&
                         (info.stx_attributes & STATX_ATTR_MOUNT_ROOT);
    return status;
}

std::optional<EntryKind> entryKindFromListing(unsigned char direntType) {
    switch (direntType) {
        case DT_DIR:
            return EntryKind::Directory;
        case DT_LNK:
            return EntryKind::Symlink;
        case DT_REG:
            return EntryKind::Regular;
        case DT_UNKNOWN:
            return std::nullopt;
        default:
            return EntryKind::Other;
    }
}

bool isKernelFileSystem(int fd) {
    struct statfs info {};
    if (::fstatfs(fd, &info) != 0) return false;
    switch (static_cast<unsigned long>(info.f_type)) {
        case PROC_SUPER_MAGIC:
        case SYSFS_MAGIC:
        case DEVPTS_SUPER_MAGIC:
        case DEBUGFS_MAGIC:
        case TRACEFS_MAGIC:
        case SECURITYFS_MAGIC:
        case CGROUP_SUPER_MAGIC:
        case CGROUP2_SUPER_MAGIC:
        case BPF_FS_MAGIC:
        case PSTOREFS_MAGIC:
        case EFIVARFS_MAGIC:
        case SELINUX_MAGIC:
        case BINFMTFS_MAGIC:
        case 0x62656570UL:  // configfs
        case 0x65735543UL:  // fusectl
        case 0x19800202UL:  // mqueue
            return true;
        default:
            return false;
    }
}

}  // namespace quillby
