// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace quillby {

// For a process that runs one job and ends: every thread allocates from one heap, so memory one
// thread freed serves the others. Call before any thread starts.
void useOneCompactHeap();

}  // namespace quillby
