// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string_view>

namespace quillby {

// Writes all of `text` to the descriptor, going on after short writes and interruptions. False
// when a write fails (errno says why).
bool writeAll(int fd, std::string_view text);

}  // namespace quillby
