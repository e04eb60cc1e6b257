// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "core/apps/DesktopEntry.h"

namespace quillby {

// Reads the desktop entry in `file` within the reader's limits. Only a regular file is read (a
// FIFO or device named like an entry cannot stall the caller). Nothing, with the reason in
// `why`, when it cannot be read or is not a desktop entry.
std::optional<DesktopEntry> readDesktopEntryFile(const std::filesystem::path& file,
                                                 std::string* why);

}  // namespace quillby
