#pragma once

#include <string>
#include <string_view>
#include <vector>

// Splits text at every occurrence of the separator, keeping empty pieces ("a&&b" at "&" gives
// "a", "", "b"), the way the stored record and form texts are read.
std::vector<std::string> splitText(std::string_view text, std::string_view separator);
