#pragma once

#include <QWidget>

class QLabel;

// A view of the duplicate page: draws the window's backdrop behind its children.
class PageBackdrop : public QWidget {
    Q_OBJECT
  public:
    using QWidget::QWidget;

  protected:
    void paintEvent(QPaintEvent* event) override;
    // A bold heading of the view, `scale` times the normal font size, named for screen readers.
    QLabel* heading(const QString& text, qreal scale);
};
