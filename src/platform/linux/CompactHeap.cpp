// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/linux/CompactHeap.h"

#include <malloc.h>

namespace quillby {

void useOneCompactHeap() {
    // A heap per thread keeps what its thread freed, in pieces other threads cannot use: a
    // search that lists files on many threads and then builds its result on one would hold
    // both. The threads mostly wait on the disk, so sharing one heap costs them little.
    ::mallopt(M_ARENA_MAX, 1);
}

}  // namespace quillby
