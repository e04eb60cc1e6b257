// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

#include "core/work/MainQueue.h"

namespace quillby {

// The main queue on the Qt event loop of the thread that creates it (the GUI thread): posted
// work runs as a queued call on that loop.
class QtMainQueue final : public QObject, public MainQueue {
    Q_OBJECT
  public:
    QtMainQueue();
    ~QtMainQueue() override;

    void post(std::function<void()> task) override;
    void invokeAndWait(std::function<void()> task) override;
    bool isMainThread() const override;
};

}  // namespace quillby
