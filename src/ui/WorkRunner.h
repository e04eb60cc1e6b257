// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>
#include <functional>
#include <memory>
#include <vector>

#include "ui/BusySpinner.h"

namespace quillby {

// Runs a page's slow work (removing, measuring, calling a tool) on a worker thread and applies
// its result on the GUI thread. While work runs the page shows it: the spinner turns and the
// controls that would start more work are disabled. The work must not touch widgets or the
// page's models: it gets copies of what it needs and returns a value. A result whose page has
// gone is dropped.
class WorkRunner : public QObject {
    Q_OBJECT
  public:
    explicit WorkRunner(QObject* parent = nullptr);
    ~WorkRunner() override;

    // The spinner to turn and the controls to disable while work runs (those that were enabled
    // come back enabled).
    void setSpinner(BusySpinner* spinner) { spinner_ = spinner; }
    void addControl(QWidget* control) { controls_.emplace_back(control); }

    // Runs `work` on a worker, then `apply(result)` on the GUI thread.
    template <class Result>
    void run(std::function<Result()> work, std::function<void(Result)> apply) {
        auto result = std::make_shared<Result>();
        start([work = std::move(work), result] { *result = work(); },
              [apply = std::move(apply), result] { apply(std::move(*result)); });
    }
    // Runs `work` on a worker, then `done` on the GUI thread.
    void run(std::function<void()> work, std::function<void()> done);

    bool isBusy() const { return running_ > 0; }
    // Waits on the GUI thread until no work runs (tests and page shutdown).
    void waitUntilIdle();

  signals:
    void busyChanged(bool busy);

  private:
    void start(std::function<void()> work, std::function<void()> apply);
    void setBusy(bool busy);

    // Read and written on the GUI thread only; shared so that late results can see it.
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
    QPointer<BusySpinner> spinner_;
    std::vector<QPointer<QWidget>> controls_;
    std::vector<QPointer<QWidget>> disabled_;
    int running_ = 0;
};

}  // namespace quillby
