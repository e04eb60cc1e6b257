#include "duplicates/ui/PageBackdrop.h"

#include <QLinearGradient>
#include <QPainter>

#include "ui/WindowStyle.h"

void PageBackdrop::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    QLinearGradient backdrop(0, 0, 0, height());
    backdrop.setColorAt(0, WindowStyle::backdropTop());
    backdrop.setColorAt(1, WindowStyle::backdropBottom());
    painter.fillRect(rect(), backdrop);
}
