// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/QtMainQueue.h"

#include <QMetaObject>
#include <QThread>

namespace quillby {

QtMainQueue::QtMainQueue() {
    becomeCurrent();
}

QtMainQueue::~QtMainQueue() {
    resignCurrent();
}

void QtMainQueue::post(std::function<void()> task) {
    QMetaObject::invokeMethod(this, std::move(task), Qt::QueuedConnection);
}

void QtMainQueue::invokeAndWait(std::function<void()> task) {
    if (isMainThread()) {
        task();
        return;
    }
    QMetaObject::invokeMethod(this, std::move(task), Qt::BlockingQueuedConnection);
}

bool QtMainQueue::isMainThread() const {
    return QThread::currentThread() == thread();
}

}  // namespace quillby
