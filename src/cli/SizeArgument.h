// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace quillby {

// Reads a size given on the command line: whole bytes ("1500", "1500B"), or a number with KB,
// MB, GB or TB in decimal steps, in any case and with or without a space ("1.5MB" and
// "1.5 mb" are 1 500 000). The arithmetic is exact: what falls below a byte is dropped. Nothing
// when the text is not such a size or does not fit in 64 bits.
std::optional<std::uint64_t> parseSizeArgument(std::string_view text);

}  // namespace quillby
