// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/fs/OwnerRights.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <string>

#include "core/fs/EntryStatus.h"

namespace quillby {

bool giveOwnerFolderRights(int parentFd, const char* name) {
    int fd = ::openat(parentFd, name, O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) return false;
    auto status = entryStatusAt(fd, "");
    bool changed = false;
    if (status && status->kind == EntryKind::Directory) {
        // An O_PATH descriptor cannot be given to fchmod; its /proc name reaches the very folder
        // that was opened, whatever happens to `name` meanwhile.
        std::string self = "/proc/self/fd/" + std::to_string(fd);
        changed = ::chmod(self.c_str(), (status->mode & 07777) | S_IRWXU) == 0;
    }
    ::close(fd);
    return changed;
}

}  // namespace quillby
