// SPDX-License-Identifier: GPL-3.0-or-later
#include "duplicates/FolderListing.h"

#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>
#include <cerrno>
#include <chrono>
#include <cstring>

#include "core/fs/DirectoryReader.h"
#include "core/fs/EntryStatus.h"
#include "core/fs/LongPath.h"
#include "duplicates/PathComponents.h"

namespace quillby {

namespace {

EntryKind kindOf(mode_t mode) {
    if (S_ISDIR(mode)) return EntryKind::Directory;
    if (S_ISREG(mode)) return EntryKind::Regular;
    if (S_ISLNK(mode)) return EntryKind::Symlink;
    return EntryKind::Other;
}

}  // namespace

SimpleNodeData::Date modificationDateOf(const struct stat& status) {
    using namespace std::chrono;
    auto since = seconds(status.st_mtim.tv_sec) + nanoseconds(status.st_mtim.tv_nsec);
    return SimpleNodeData::Date(duration_cast<SimpleNodeData::Date::duration>(since));
}

bool listFolder(const std::string& path, bool followLink, dev_t parentDevice,
                FolderContents& contents, bool folderIdentities) {
    contents = FolderContents{};
    int flags = O_RDONLY | O_DIRECTORY | O_CLOEXEC | (followLink ? 0 : O_NOFOLLOW);
    int fd = openLongPath(path, flags);
    if (fd < 0) {
        contents.error = errno;
        return false;
    }
    if (::fstat(fd, &contents.self) != 0) {
        contents.error = errno;
        ::close(fd);
        return false;
    }
    if (contents.self.st_dev != parentDevice && isKernelFileSystem(fd)) {
        contents.kernelFileSystem = true;
        ::close(fd);
        return true;
    }
    DirectoryReader reader(fd);
    DirectoryReader::Entry entry;
    while (reader.next(entry)) {
        ListedEntry listed;
        listed.name = entry.name;
        if (entry.type == DT_DIR && !folderIdentities) {
            listed.kind = EntryKind::Directory;
        } else {
            struct stat status {};
            if (::fstatat(fd, entry.name, &status, AT_SYMLINK_NOFOLLOW) != 0) {
                listed.vanished = true;
                contents.entries.push_back(std::move(listed));
                continue;
            }
            listed.kind = kindOf(status.st_mode);
            listed.size = static_cast<std::uint64_t>(status.st_size);
            listed.modified = modificationDateOf(status);
            listed.device = status.st_dev;
            listed.inode = status.st_ino;
        }
        contents.entries.push_back(std::move(listed));
    }
    contents.error = reader.error();
    ::close(fd);
    return contents.error == 0;
}

}  // namespace quillby
