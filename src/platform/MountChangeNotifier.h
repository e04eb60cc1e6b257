// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <memory>

namespace quillby {

// Wakes a waiting thread when a file system was mounted or unmounted.
class MountChangeNotifier {
  public:
    virtual ~MountChangeNotifier() = default;
    // Waits up to `timeoutMilliseconds` (negative: for ever) for a change of the mount table.
    // True when one happened; false on time-out, on stop() or when the table cannot be watched.
    virtual bool waitForChange(int timeoutMilliseconds) = 0;
    // Makes a current and every later waitForChange return false at once. Safe from any thread.
    virtual void stop() = 0;
};

// Makes a notifier for the running system; installed as a service so that a watcher can be made
// without knowing the platform.
using MountChangeNotifierFactory = std::function<std::unique_ptr<MountChangeNotifier>()>;

}  // namespace quillby
