// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <span>
#include <string_view>

namespace quillby {

// What a file holds, told by its name's extension alone (never by reading it).
enum class FileKind { Document, Video, Audio, Archive, Image, Package, Code, Other };

// The extensions of a kind, in lower case, without the dot ("tar.gz" included); none for Other.
std::span<const std::string_view> fileKindExtensions(FileKind kind);

// The kind of a file named `name`: its longest listed extension in any letter case ("a.TAR.GZ"
// is an archive); Other without one. A leading dot alone (".bashrc") is no extension.
FileKind fileKindOf(std::string_view name);

}  // namespace quillby
