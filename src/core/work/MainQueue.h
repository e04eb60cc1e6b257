// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>

namespace quillby {

// The queue of the thread that owns models, views and menus. Engines hand work to it with
// post() (returns at once) or invokeAndWait() (returns after the work ran; runs directly when
// already on that thread). The desktop program implements it on the Qt event loop; the command
// line and the tests use PlainMainQueue and drain it.
class MainQueue {
  public:
    virtual ~MainQueue() = default;
    virtual void post(std::function<void()> task) = 0;
    virtual void invokeAndWait(std::function<void()> task) = 0;
    virtual bool isMainThread() const = 0;

    // The queue that serves the calling thread, or nullptr when the thread has none.
    static MainQueue* current();
    // Posts `task` to `queue` unless that queue has already been destroyed (then false): for
    // threads that may finish after the program part that started them went away.
    static bool postIfAlive(MainQueue* queue, std::function<void()> task);

  protected:
    // Implementations call these from the thread they serve: the first when constructed, the
    // second first thing when destroyed. A queue made while another serves the thread (a test's
    // own queue) serves it until it goes; then the other one serves it again.
    void becomeCurrent();
    void resignCurrent();

  private:
    MainQueue* outer_ = nullptr;
};

}  // namespace quillby
