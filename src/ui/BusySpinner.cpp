// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/BusySpinner.h"

#include <QPainter>

#include "ui/ImageProvider.h"

namespace quillby {

BusySpinner::BusySpinner(QWidget* parent) : QWidget(parent) {
    timer_.setInterval(80);
    connect(&timer_, &QTimer::timeout, this, [this] {
        frame_ = frame_ % kFrames + 1;
        update();
    });
    setAccessibleName(tr("Working"));
    hide();
}

QString BusySpinner::frameImage(int frame) {
    return QStringLiteral("loading_%1.png").arg(frame);
}

void BusySpinner::setRunning(bool running) {
    if (running == isRunning()) return;
    if (running) {
        frame_ = 1;
        timer_.start();
    } else {
        timer_.stop();
    }
    setVisible(running);
}

QSize BusySpinner::sizeHint() const {
    return ImageProvider::shared().image(frameImage(1)).size();
}

void BusySpinner::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    QImage image = ImageProvider::shared().image(frameImage(frame_));
    QRect box(QPoint(0, 0), image.size().scaled(size(), Qt::KeepAspectRatio));
    box.moveCenter(rect().center());
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(box, image);
}

}  // namespace quillby
