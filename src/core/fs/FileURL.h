// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace quillby {

// A "file://" URL for an absolute path: every byte other than letters, digits, "-._~" and "/" is
// percent-encoded, so any path (spaces, "%", non-UTF-8 bytes) comes back unchanged.
std::string fileURLFromPath(std::string_view path);

// The path of a local file URL ("file:///p", "file://localhost/p" or "file:/p"), its escapes
// decoded. Nothing for another scheme, another host, a relative path or an encoded NUL byte.
std::optional<std::string> pathFromFileURL(std::string_view url);

}  // namespace quillby
