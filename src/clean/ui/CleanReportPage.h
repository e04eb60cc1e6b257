// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>
#include <array>

class QLabel;
class QPushButton;

namespace quillby {

class SystemCleanModel;

// The system clean's sub-pages: while a clean runs ("QC_FastClean"), each category's progress
// and size, and the Stop button; after it ("DATA_FastClean"), what each category freed, the
// total, every item left behind with its reason, and the way back to the feature list.
class CleanReportPage : public QWidget {
    Q_OBJECT
  public:
    enum Kind { Progress, Results };

    CleanReportPage(SystemCleanModel& model, Kind kind, QWidget* parent = nullptr);

    // Shows the model's figures.
    void refresh();

    QLabel* heading() const { return heading_; }
    QLabel* failures() const { return failures_; }
    QLabel* categoryLine(int category) const { return lines_[category]; }
    QPushButton* backButton() const { return back_; }
    QPushButton* stopButton() const { return stop_; }

  private:
    SystemCleanModel& model_;
    const Kind kind_;
    QLabel* heading_;
    std::array<QLabel*, 6> lines_{};
    QLabel* failures_;
    QPushButton* back_;
    QPushButton* stop_;
};

}  // namespace quillby
