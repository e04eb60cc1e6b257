// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace quillby {

// True for an absolute path in its plain form: starts with "/", is not "/" itself, holds no
// empty, "." or ".." component, no trailing "/" and no NUL byte.
bool isNormalizedAbsolutePath(std::string_view path);

// The number of components of a normalised absolute path ("/var/log" has 2).
int pathComponentCount(std::string_view path);

// The path without its trailing "/"s; "/" stays "/".
std::string_view withoutTrailingSlashes(std::string_view path);

// The last component, trailing "/"s aside ("log" for "/var/log/"); "/" for "/" itself and the
// whole text when it holds no "/".
std::string_view folderName(std::string_view path);

// True when `inner` lies strictly inside the folder `outer` (both without a trailing "/").
bool liesInside(std::string_view inner, std::string_view outer);

// The path of the entry `name` of the folder `folder` ("/" is joined once: "/x", "/a/x").
std::string pathInside(std::string_view folder, std::string_view name);

// True for the name of one entry of a folder: not empty, ".", ".." and without "/" or a NUL.
bool isPlainEntryName(std::string_view name);

// An absolute path split into the folder holding its last component ("/" for a top-level item)
// and that component; nothing for a relative path, "/" itself or a path ending in "/".
std::optional<std::pair<std::string, std::string>> splitAbsolutePath(std::string_view path);

}  // namespace quillby
