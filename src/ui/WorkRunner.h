// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>
#include <functional>
#include <memory>
#include <vector>

#include "core/work/BackgroundJob.h"
#include "ui/BusySpinner.h"

namespace quillby {

// Binds a page to the job contract: its slow work (removing, measuring, calling a tool) runs as
// jobs of the page's one JobOwner, and while work runs the page shows it: the spinner turns and
// the controls that would start more work are disabled. The work must not touch widgets or the
// page's models: it gets copies of what it needs and returns a value. A result whose page has
// gone is dropped, and work still running is asked to stop.
class WorkRunner : public QObject {
    Q_OBJECT
  public:
    // Results reach the page through the GUI thread's main queue, which must exist first.
    explicit WorkRunner(QObject* parent = nullptr);
    ~WorkRunner() override;

    // The spinner to turn and the controls to disable while work runs (those that were enabled
    // come back enabled).
    void setSpinner(BusySpinner* spinner) { spinner_ = spinner; }
    void addControl(QWidget* control) { controls_.emplace_back(control); }

    // Runs `work` on a worker, then `apply(result)` on the GUI thread; `progress` receives the
    // work's reports there.
    template <class Result>
    Job start(std::function<Result(JobContext&)> work, std::function<void(Result)> apply,
              JobOwner::ProgressHandler progress = {}) {
        return jobs_->start<Result>(std::move(work), std::move(apply), std::move(progress));
    }
    // The same for work too short to stop or to report progress.
    template <class Result>
    void run(std::function<Result()> work, std::function<void(Result)> apply) {
        start<Result>([work = std::move(work)](JobContext&) { return work(); }, std::move(apply));
    }
    void run(std::function<void()> work, std::function<void()> done);

    // Asks the running work to stop (the page's Stop button).
    void stop() { jobs_->stopAll(); }
    bool isBusy() const { return jobs_->running() > 0; }
    // Waits on the GUI thread until no work runs (tests and page shutdown).
    void waitUntilIdle();

  signals:
    void busyChanged(bool busy);

  private:
    void setBusy(bool busy);

    std::unique_ptr<JobOwner> jobs_;
    QPointer<BusySpinner> spinner_;
    std::vector<QPointer<QWidget>> controls_;
    std::vector<QPointer<QWidget>> disabled_;
};

}  // namespace quillby
