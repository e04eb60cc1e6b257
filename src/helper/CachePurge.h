// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace quillby {

// Writes dirty pages out and drops the kernel's page, dentry and inode caches (as root). Gives
// 0 when they were dropped, 1 otherwise, with one line on standard error saying why.
int purgeCaches();

}  // namespace quillby
