#pragma once

#include <cstddef>
#include <string>

// The first `keep` characters of `text` and "...", or `text` itself when it has no more than
// `keep` characters. Counts characters, not bytes, in UTF-8 text, so a cut never splits one.
std::string cutText(const std::string& text, std::size_t keep);
