// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>
#include <memory>

class QLabel;
class QPushButton;
class QTimer;

namespace quillby {

class CleanMemoryModel;
class PieChartView;

// The memory page: the six figures, the pie of free, active, inactive and wired memory, and the
// purge button with what the last purge freed. Refreshes every second.
class CleanMemoryController : public QWidget {
    Q_OBJECT
  public:
    explicit CleanMemoryController(std::unique_ptr<CleanMemoryModel> model,
                                   QWidget* parent = nullptr);
    ~CleanMemoryController() override;

    // One refresh: figures, pie slices, and the result once a purge ended.
    void updateTitleForLabelValue();
    // The purge button.
    void CleanButtonAction();

    QPushButton* cleanButton() const { return cleanButton_; }
    QLabel* resultLine() const { return lastCleanText_; }
    PieChartView* pieChart() const { return pie_; }
    QLabel* figure(int index) const { return figures_[index]; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    void cleanBtnCancelHidden();

    std::unique_ptr<CleanMemoryModel> model_;
    PieChartView* pie_;
    QPushButton* cleanButton_;
    QLabel* lastCleanText_;
    QLabel* note_;
    QLabel* figures_[6];
    QTimer* timer_;
};

}  // namespace quillby
