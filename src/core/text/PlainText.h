// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace quillby {

// Plain text: well-formed UTF-8, cutting by characters and splitting at a separator.

// True when the bytes are well-formed UTF-8 (no overlong forms, no surrogates, at most U+10FFFF).
bool isValidUtf8(std::string_view bytes);

// The length of the well-formed UTF-8 character that `bytes` starts with; 0 when they are empty
// or do not start with one.
std::size_t utf8SequenceLength(std::string_view bytes);

// The first `keep` characters of `text` and "...", or `text` itself when it has no more than
// `keep` characters. Counts characters, not bytes, in UTF-8 text, so a cut never splits one.
std::string cutText(const std::string& text, std::size_t keep);

// Splits text at every occurrence of the separator, keeping empty pieces ("a&&b" at "&" gives
// "a", "", "b"), the way the stored record and form texts are read.
std::vector<std::string> splitText(std::string_view text, std::string_view separator);

}  // namespace quillby
