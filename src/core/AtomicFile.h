#pragma once

#include <filesystem>
#include <string_view>

// Replaces `path` with `contents` so that readers see the old file or the new one, never a part:
// the text goes to a temporary file beside it, is flushed to the disk, and is renamed into place.
// Creates missing parent folders. False (with errno set) when any step fails; the old file then
// stays as it was.
bool writeFileAtomically(const std::filesystem::path& path, std::string_view contents);
