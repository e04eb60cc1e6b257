// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace quillby {

// Path text helpers of the duplicate finder. Paths are absolute POSIX texts; nothing here
// touches the file system.

// The last component ("c" for "/a/b/c"); the path itself when it has no slash.
std::string_view lastPathComponent(std::string_view path);
// The text after the last dot of the last component; empty when there is no dot.
std::string_view pathExtension(std::string_view path);
// `folder` + "/" + `name`, without doubling the slash of the root "/".
std::string appendPathComponent(std::string_view folder, std::string_view name);
// The components between slashes, in order ("/a//b/" gives "a", "b").
std::vector<std::string_view> pathComponents(std::string_view path);
// True when the texts are equal ignoring ASCII letter case.
bool equalsIgnoringCase(std::string_view a, std::string_view b);

}  // namespace quillby
