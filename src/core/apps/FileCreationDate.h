// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>
#include <filesystem>
#include <optional>

namespace quillby {

// When a file was created: its birth time where the file system records one (a zero birth time
// counts as none), else the time its status last changed. Symbolic links are followed. Nothing
// when the file cannot be examined.
std::optional<std::chrono::system_clock::time_point> fileCreationDate(
    const std::filesystem::path& path);

}  // namespace quillby
