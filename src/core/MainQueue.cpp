#include "core/MainQueue.h"

namespace {
thread_local MainQueue* tCurrentQueue = nullptr;
}

MainQueue* MainQueue::current() {
    return tCurrentQueue;
}

void MainQueue::becomeCurrent() {
    tCurrentQueue = this;
}

void MainQueue::resignCurrent() {
    if (tCurrentQueue == this) tCurrentQueue = nullptr;
}
