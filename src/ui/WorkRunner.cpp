// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/WorkRunner.h"

#include <QCoreApplication>
#include <thread>

#include "ui/BusySpinner.h"

namespace quillby {

WorkRunner::WorkRunner(QObject* parent) : QObject(parent) {
    jobs_ = std::make_unique<JobOwner>();
    jobs_->setBusyHandler([this](bool busy) { setBusy(busy); });
}

WorkRunner::~WorkRunner() {
    jobs_.reset();  // first: results still on their way find the page gone
}

void WorkRunner::run(std::function<void()> work, std::function<void()> done) {
    jobs_->start([work = std::move(work)](JobContext&) { work(); }, std::move(done));
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
    while (isBusy()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
}

}  // namespace quillby
