// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

namespace quillby {

// The absolute, normalised form of a path the user gave (relative to the working folder),
// without a trailing slash; "" when it cannot be made (no working folder, or `given` is "").
std::string absolutePath(const std::string& given);

}  // namespace quillby
