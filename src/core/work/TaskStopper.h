// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <atomic>

namespace quillby {

// The process-wide stop flag that recursive size walks read at every folder. Written on the
// main thread, read by workers; a late read only delays a stop by one folder.
class TaskStopper {
  public:
    static TaskStopper& sharedTaskStopper();

    void setStopFlags(bool stop) { bIsStopTask.store(stop, std::memory_order_relaxed); }
    bool getStopFlags() const { return bIsStopTask.load(std::memory_order_relaxed); }
    // Whether the process-wide flag is set: the stop request engines take by default, one
    // source of stop requests among others (a page's own cancel button, a test).
    static bool sharedStopRequested() { return sharedTaskStopper().getStopFlags(); }

  private:
    std::atomic<bool> bIsStopTask{false};
};

}  // namespace quillby
