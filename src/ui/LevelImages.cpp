// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/LevelImages.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>

namespace quillby {

namespace {

// Green while there is room, turning to amber as the volume fills; red in alarm.
QColor fillColour(int level, bool alarm) {
    if (alarm) return QColor(220, 45, 35);
    double t = std::clamp(level, 0, 100) / 100.0;
    return QColor::fromHsvF(0.33 - 0.25 * t, 0.75, 0.85);
}

QImage blank(int width, int height) {
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

QImage bar(int width, int height, int level, QColor trough, QColor fill, qreal radius) {
    QImage image = blank(width, height);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    QRectF frame(0.5, 0.5, width - 1.0, height - 1.0);
    painter.setPen(QPen(trough.darker(130), 1));
    painter.setBrush(trough);
    painter.drawRoundedRect(frame, radius, radius);
    qreal filled = (width - 2.0) * std::clamp(level, 0, 100) / 100.0;
    if (filled > 0) {
        QLinearGradient shade(0, 0, 0, height);
        shade.setColorAt(0, fill.lighter(125));
        shade.setColorAt(1, fill.darker(110));
        painter.setPen(Qt::NoPen);
        painter.setBrush(shade);
        QPainterPath clip;
        clip.addRoundedRect(frame.adjusted(0.5, 0.5, -0.5, -0.5), radius, radius);
        painter.setClipPath(clip);
        painter.drawRect(QRectF(1, 1, filled, height - 2.0));
    }
    return image;
}

}  // namespace

namespace LevelImages {

QImage trayIcon(int level, bool alarm) {
    QImage image = blank(22, 22);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    QRectF body(3.5, 2.5, 15, 17);
    QPainterPath outline;
    outline.addRoundedRect(body, 3, 3);
    painter.fillPath(outline, QColor(235, 235, 235));
    qreal height = body.height() * std::clamp(level, 0, 100) / 100.0;
    painter.setClipPath(outline);
    painter.fillRect(QRectF(body.left(), body.bottom() - height, body.width(), height),
                     fillColour(level, alarm));
    painter.setClipping(false);
    painter.setPen(QPen(QColor(60, 60, 60), 1.2));
    painter.drawPath(outline);
    return image;
}

QImage rowBar(int level, bool alarm) {
    return bar(200, 25, level, QColor(225, 225, 225), fillColour(level, alarm), 5);
}

QImage tileBar(int level, bool alarm) {
    return bar(420, 18, level, QColor(255, 255, 255, 60), fillColour(level, alarm), 4);
}

QImage progressBar(int level) {
    return bar(120, 10, level, QColor(210, 210, 210), QColor(40, 140, 230), 3);
}

}  // namespace LevelImages

}  // namespace quillby
