// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/GradientPage.h"

#include "ui/WindowStyle.h"

namespace quillby {

void GradientPage::paintEvent(QPaintEvent*) {
    WindowStyle::paintBackdrop(*this);
}

}  // namespace quillby
