#include "duplicates/ui/PageBackdrop.h"

#include <QLabel>
#include <QLinearGradient>
#include <QPainter>

#include "ui/WindowStyle.h"

QLabel* PageBackdrop::heading(const QString& text, qreal scale) {
    auto* label = new QLabel(text, this);
    label->setAccessibleName(text);
    QFont font = label->font();
    font.setPointSizeF(font.pointSizeF() * scale);
    font.setBold(true);
    label->setFont(font);
    return label;
}

void PageBackdrop::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    QLinearGradient backdrop(0, 0, 0, height());
    backdrop.setColorAt(0, WindowStyle::backdropTop());
    backdrop.setColorAt(1, WindowStyle::backdropBottom());
    painter.fillRect(rect(), backdrop);
}
