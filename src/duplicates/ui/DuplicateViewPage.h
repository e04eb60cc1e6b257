// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ui/GradientPage.h"

class QLabel;

namespace quillby {

// A view of the duplicate page: on the window's backdrop, with headings of its own.
class DuplicateViewPage : public GradientPage {
    Q_OBJECT
  public:
    using GradientPage::GradientPage;

  protected:
    // A bold heading of the view, `scale` times the normal font size, named for screen readers.
    QLabel* heading(const QString& text, qreal scale);
};

}  // namespace quillby
