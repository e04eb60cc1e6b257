#pragma once

#include <cstddef>
#include <string_view>

// True when the bytes are well-formed UTF-8 (no overlong forms, no surrogates, at most U+10FFFF).
bool isValidUtf8(std::string_view bytes);

// The length of the well-formed UTF-8 character that `bytes` starts with; 0 when they are empty
// or do not start with one.
std::size_t utf8SequenceLength(std::string_view bytes);
