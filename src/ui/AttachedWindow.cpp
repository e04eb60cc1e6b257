// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/AttachedWindow.h"

#include <QPainter>
#include <QVBoxLayout>

namespace quillby {

namespace {
constexpr int kMargin = 2;
constexpr qreal kCornerRadius = 8;
constexpr qreal kBorderWidth = 2;
}  // namespace

AttachedWindow::AttachedWindow(QWidget* content)
    : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                           Qt::WindowDoesNotAcceptFocus) {
    setAttribute(Qt::WA_TranslucentBackground);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_DeleteOnClose);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(kMargin + 2, kMargin, kMargin + 2, kMargin);
    layout->addWidget(content);
}

void AttachedWindow::setHoverHandler(std::function<void(bool)> handler) {
    hoverHandler_ = std::move(handler);
}

void AttachedWindow::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(Qt::white, kBorderWidth));
    painter.setBrush(QColor::fromRgbF(0.1, 0.1, 0.1, 0.75));
    qreal inset = kBorderWidth / 2;
    painter.drawRoundedRect(QRectF(rect()).adjusted(inset, inset, -inset, -inset), kCornerRadius,
                            kCornerRadius);
}

void AttachedWindow::enterEvent(QEnterEvent*) {
    if (hoverHandler_) hoverHandler_(true);
}

void AttachedWindow::leaveEvent(QEvent*) {
    if (hoverHandler_) hoverHandler_(false);
}

}  // namespace quillby
