#pragma once

// For a process that runs one job and ends: every thread allocates from one heap, so memory one
// thread freed serves the others. Call before any thread starts.
void useOneCompactHeap();
