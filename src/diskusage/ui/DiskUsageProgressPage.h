// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QTimer>
#include <QWidget>

#include "ui/GradientPage.h"

class QLabel;
class QProgressBar;
class QPushButton;

namespace quillby {

class BusySpinner;
class DiskUsageAppController;

// The disk-usage progress page ("QC_DiskUsage"): the folder being scanned, the folders, files
// and bytes seen so far and the top-level folders done, read from the scan's counters ten times
// a second while the page is shown, and the stop button.
class DiskUsageProgressPage : public GradientPage {
    Q_OBJECT
  public:
    static constexpr int kRefreshMs = 100;

    explicit DiskUsageProgressPage(DiskUsageAppController& controller, QWidget* parent = nullptr);

    // Reads the counters once.
    void refresh();

    QLabel* countsLabel() const { return counts_; }
    QProgressBar* levelBar() const { return level_; }
    QPushButton* stopButton() const { return stop_; }
    const QTimer& refreshTimer() const { return timer_; }

  protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

  private:
    DiskUsageAppController& controller_;
    QLabel* path_;
    QLabel* counts_;
    QProgressBar* level_;
    BusySpinner* spinner_;
    QPushButton* stop_;
    QLabel* stopped_;
    QTimer timer_;
};

}  // namespace quillby
