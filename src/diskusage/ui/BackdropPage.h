#pragma once

#include <QWidget>

// A page of the disk-usage tool on the window's backdrop gradient.
class BackdropPage : public QWidget {
    Q_OBJECT
  public:
    using QWidget::QWidget;

  protected:
    void paintEvent(QPaintEvent* event) override;
};
