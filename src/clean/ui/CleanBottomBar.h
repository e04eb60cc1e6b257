// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

class QLabel;
class QPushButton;
class QToolButton;

namespace quillby {

class RichStatusLine;
class SystemCleanModel;

// The system clean's bar below the feature pages: the lock button, the selection summary, the
// status line ("%@ is cleaned"), and the Scan, Stop and Clean buttons.
class CleanBottomBar : public QWidget {
    Q_OBJECT
  public:
    explicit CleanBottomBar(SystemCleanModel& model, QWidget* parent = nullptr);

    // Shows the model's summary, status and button states.
    void refresh();

    QPushButton* scanButton() const { return scan_; }
    QPushButton* stopButton() const { return stop_; }
    QPushButton* cleanButton() const { return clean_; }
    QToolButton* lockButton() const { return lock_; }
    QLabel* summary() const { return summary_; }
    RichStatusLine* statusLine() const { return status_; }

  private:
    SystemCleanModel& model_;
    QToolButton* lock_;
    QLabel* summary_;
    RichStatusLine* status_;
    QPushButton* scan_;
    QPushButton* stop_;
    QPushButton* clean_;
    bool wasBusy_ = false;
};

}  // namespace quillby
