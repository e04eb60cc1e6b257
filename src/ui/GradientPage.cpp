#include "ui/GradientPage.h"

#include "ui/WindowStyle.h"

void GradientPage::paintEvent(QPaintEvent*) {
    WindowStyle::paintBackdrop(*this);
}
