// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

namespace quillby {

// Opens a path of any length with open(2)'s `flags`: a path the kernel refuses as too long
// (PATH_MAX and more) is opened piece by piece, each piece relative to the folder the one
// before it opened, with the same meaning as one open of the whole path. Gives the descriptor,
// or -1 with errno set.
int openLongPath(const std::string& path, int flags);

}  // namespace quillby
