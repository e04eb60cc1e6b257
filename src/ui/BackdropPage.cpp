#include "ui/BackdropPage.h"

#include "ui/WindowStyle.h"

void BackdropPage::paintEvent(QPaintEvent*) {
    WindowStyle::paintBackdrop(*this);
}
