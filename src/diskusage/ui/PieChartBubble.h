// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>
#include <functional>

namespace quillby {

// The bubble over the ring chart: the folder's name above its size, two green lines, as wide as
// the wider text plus 10, placed 5 px from the pointer. A click on it closes it.
class PieChartBubble : public QWidget {
    Q_OBJECT
  public:
    explicit PieChartBubble(QWidget* parent = nullptr);

    // Replaces the texts and moves the bubble 5 px from `point` (in the parent's coordinates).
    void showAt(const QString& name, const QString& size, const QPoint& point);
    const QString& name() const { return name_; }
    const QString& sizeText() const { return size_; }
    // Called when the bubble is clicked.
    std::function<void()> onClick;

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

  private:
    QString name_;
    QString size_;
};

}  // namespace quillby
