// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>
#include <memory>

#include "clean/CleanSysController.h"

class QLabel;
class QProgressBar;
class QPushButton;

namespace quillby {

class CutTextLabel;
class WindowModalAsker;

// The quick-clean window: binds CleanSysController. Centred above normal windows, it shows the
// status line, the bar (running to and fro while scanning, filling while deleting), the item in
// hand and the cancel button; after a clean that left items behind, the button that lists them
// and a close button. It closes itself a second after a clean that left nothing.
class CleanSysWindow : public QWidget {
    Q_OBJECT
  public:
    // `options` without asker (the window asks itself); `balloon` shows the balloons.
    CleanSysWindow(CleanSysController::Options options,
                   std::function<void(const std::vector<std::string>&, bool)> balloon);
    ~CleanSysWindow() override;

    CleanSysController& controller() { return *controller_; }
    // Opens: the controller starts, and the window shows unless there is nothing to clean.
    void resetStatus();

    QProgressBar* progressBar() const { return bar_; }
    QPushButton* cancelButton() const { return cancel_; }
    QPushButton* failuresButton() const { return failures_; }

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void refresh();
    void centre();

    std::unique_ptr<WindowModalAsker> asker_;
    QLabel* status_;
    CutTextLabel* path_;
    QProgressBar* bar_;
    QPushButton* cancel_;
    QPushButton* failures_;
    QPushButton* close_;
    bool closeScheduled_ = false;
    // Last, so that it goes first: its worker is joined while the widgets and the asker exist.
    std::unique_ptr<CleanSysController> controller_;
};

}  // namespace quillby
