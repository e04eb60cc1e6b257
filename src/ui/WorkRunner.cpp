// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/WorkRunner.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QThread>
#include <thread>

#include "ui/BusySpinner.h"

namespace quillby {

WorkRunner::WorkRunner(QObject* parent) : QObject(parent) {}

WorkRunner::~WorkRunner() {
    *alive_ = false;  // results still on their way find the page gone
}

void WorkRunner::run(std::function<void()> work, std::function<void()> done) {
    start(std::move(work), std::move(done));
}

void WorkRunner::start(std::function<void()> work, std::function<void()> apply) {
    ++running_;
    if (running_ == 1) setBusy(true);
    // The context object lives on the GUI thread for as long as the worker needs it; the
    // worker's last reference gives it back there.
    std::shared_ptr<QObject> context(new QObject, [](QObject* object) { object->deleteLater(); });
    if (QThread* gui =
            QCoreApplication::instance() ? QCoreApplication::instance()->thread() : nullptr) {
        context->moveToThread(gui);
    }
    auto* self = this;
    std::thread([work = std::move(work), apply = std::move(apply), context, alive = alive_, self] {
        work();
        QMetaObject::invokeMethod(
            context.get(),
            // The call keeps the context too: a flush of deferred deletions between the post and
            // the call (QTest::qWaitFor does one) would otherwise drop the result.
            [apply, alive, self, context] {
                if (!*alive) return;
                apply();
                if (--self->running_ == 0) self->setBusy(false);
            },
            Qt::QueuedConnection);
    }).detach();
}

void WorkRunner::setBusy(bool busy) {
    if (spinner_) spinner_->setRunning(busy);
    if (busy) {
        disabled_.clear();
        for (auto& control : controls_) {
            if (!control || !control->isEnabled()) continue;
            control->setEnabled(false);
            disabled_.push_back(control);
        }
    } else {
        for (auto& control : disabled_) {
            if (control) control->setEnabled(true);
        }
        disabled_.clear();
    }
    emit busyChanged(busy);
}

void WorkRunner::waitUntilIdle() {
    while (running_ > 0) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
}

}  // namespace quillby
