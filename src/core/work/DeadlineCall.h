// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>
#include <functional>
#include <optional>

namespace quillby {

class MainQueue;

// Runs `work` on a thread of its own and hands its answer to `done` on `queue`. When the work has
// not answered within `deadline`, `done` gets nothing at that moment and the late answer is
// dropped; the thread ends whenever the work returns. `done` runs once, or never when the queue
// is destroyed first. For calls to other programs (D-Bus, tools) that the main thread must
// never wait for.
void callWithDeadline(MainQueue& queue, std::chrono::milliseconds deadline,
                      std::function<bool()> work, std::function<void(std::optional<bool>)> done);

}  // namespace quillby
