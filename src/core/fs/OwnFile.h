// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <sys/types.h>
#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>

namespace quillby {

// The program's own small files in the user's folders: the diagnostic log, the history record
// and the preferences lock. Whatever someone else put in their place (a link, a FIFO, a device, a
// file of another user) is never written through, waited on or read.

// Opens `path` with `flags` (O_CREAT makes it with mode 0600), not following a link at its last
// step and not waiting on a FIFO or device, and keeps it only when it is a regular file owned by
// `owner`. The descriptor (close-on-exec, blocking), or -1 with errno set and `why` telling what
// was refused.
int openOwnFile(const std::filesystem::path& path, int flags, uid_t owner, std::string& why);

// The whole text of such a file, refused when longer than `limit` bytes. Nothing, with errno set
// (ENOENT for a missing file) and `why`, when it cannot be read.
std::optional<std::string> readOwnFile(const std::filesystem::path& path, uid_t owner,
                                       std::size_t limit, std::string& why);

}  // namespace quillby
