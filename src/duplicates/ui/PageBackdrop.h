#pragma once

#include <QWidget>

// A view of the duplicate page: draws the window's backdrop behind its children.
class PageBackdrop : public QWidget {
    Q_OBJECT
  public:
    using QWidget::QWidget;

  protected:
    void paintEvent(QPaintEvent* event) override;
};
