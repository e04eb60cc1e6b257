// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "duplicates/ui/DuplicateViewPage.h"

class QLabel;
class QProgressBar;
class QPushButton;

namespace quillby {

class CutTextLabel;

// The duplicate page's scanning view: the progress, the file being examined with its icon,
// "Stop Scan", and the text shown once a stop was asked for.
class DuplicateScanningView : public DuplicateViewPage {
    Q_OBJECT
  public:
    explicit DuplicateScanningView(QWidget* parent = nullptr);

    // A new search: progress at `percent`, stop shown, stopped text hidden.
    void showStarted(int percent);
    void showProgress(int percent, const QString& path);
    // After "Stop Scan": the progress and stop button give way to the stopped text.
    void showStopping();

    QProgressBar* progress() const { return progress_; }
    QPushButton* stopButton() const { return stop_; }
    CutTextLabel* pathLabel() const { return path_; }
    QLabel* stoppedLabel() const { return stopped_; }

  private:
    QLabel* icon_;
    CutTextLabel* path_;
    QProgressBar* progress_;
    QPushButton* stop_;
    QLabel* stopped_;
};

}  // namespace quillby
