#include "diskusage/ui/BackdropPage.h"

#include <QPainter>

#include "ui/WindowStyle.h"

void BackdropPage::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    QLinearGradient shade(0, 0, 0, height());
    shade.setColorAt(0, WindowStyle::backdropTop());
    shade.setColorAt(1, WindowStyle::backdropBottom());
    painter.fillRect(rect(), shade);
}
