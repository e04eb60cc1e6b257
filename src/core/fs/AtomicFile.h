// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <sys/types.h>
#include <filesystem>
#include <functional>
#include <string_view>

namespace quillby {

// Replaces `path` with what `write` puts into the descriptor it is given, so that readers see
// the old file or the new one, never a part: the new file is created beside it under a fresh
// name (exclusively, never through a link, with `mode` less the umask), flushed to the disk and
// renamed over `path`. `write` returns false, with errno set, to give up. False (with errno set)
// when any step fails: the old file then stays as it was, and the only thing removed is the
// temporary file this call created. A link at `path` is replaced itself, never followed.
bool replaceFileAtomically(const std::filesystem::path& path,
                           const std::function<bool(int fd)>& write, mode_t mode);

// replaceFileAtomically with `contents`, readable by the user alone, creating missing parent
// folders.
bool writeFileAtomically(const std::filesystem::path& path, std::string_view contents);

}  // namespace quillby
