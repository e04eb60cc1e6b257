// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <sys/types.h>

namespace quillby {

// Gives a folder's owner its read, write and search rights on it, keeping the rest of its mode,
// through a descriptor of the folder itself opened without following a link: a link swapped in
// for the folder is refused, never changed, and neither is what it points at. False when the
// entry is not a folder, is a link, or its mode could not be changed.
bool giveOwnerFolderRights(int parentFd, const char* name);

}  // namespace quillby
