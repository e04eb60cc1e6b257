#pragma once

#include "ui/BackdropPage.h"

class QLabel;

// A view of the duplicate page: on the window's backdrop, with headings of its own.
class PageBackdrop : public BackdropPage {
    Q_OBJECT
  public:
    using BackdropPage::BackdropPage;

  protected:
    // A bold heading of the view, `scale` times the normal font size, named for screen readers.
    QLabel* heading(const QString& text, qreal scale);
};
