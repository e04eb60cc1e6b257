// SPDX-License-Identifier: GPL-3.0-or-later
#include "monitor/ui/MenuItemView.h"

#include <QKeyEvent>

#include <QMouseEvent>
#include <QPainter>
#include <QPointer>

#include "ui/ImageProvider.h"
#include "ui/PaintText.h"

namespace quillby {

MenuItemView::MenuItemView(VolumeRow row, std::function<bool(std::int32_t)> eject, QWidget* parent)
    : QWidget(parent), row_(std::move(row)), eject_(std::move(eject)) {
    setFixedSize(kSize);
    setFocusPolicy(Qt::StrongFocus);  // Tab moves between rows; see keyPressEvent
    setMouseTracking(true);
    setCursor(Qt::PointingHandCursor);
}

void MenuItemView::setRow(VolumeRow row) {
    row.clicked = row_.clicked;
    row_ = std::move(row);
    update();
}

bool MenuItemView::hasButton() const {
    return row_.myStorage == VolumeRow::kMemoryKind || row_.bCanEject;
}

void MenuItemView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    auto& images = ImageProvider::shared();
    if (row_.clicked) painter.fillRect(rect(), palette().highlight());

    QString icon =
        QString::fromStdString(VolumeRow::tileIconName(row_.myStorage, row_.bIsDefaultVol));
    painter.drawImage(QRect(15, 5, 30, 40), images.image(icon));

    QColor text = row_.showsAlarmColour() ? QColor(220, 30, 30)
                  : row_.clicked          ? palette().highlightedText().color()
                                          : palette().windowText().color();
    painter.setPen(text);
    painter.setFont(boldFont(font(), 11));
    drawElidedText(painter, QRect(47, 1, 200, 15), Qt::AlignLeft | Qt::AlignVCenter,
                   QString::fromStdString(row_.volumeSize));

    QRect bar(47, 17, 200, 25);
    if (auto level = row_.getPrograssImage())
        painter.drawImage(bar, images.image(QString::fromStdString(*level)));

    QFont small = font();
    small.setPointSize(8);
    painter.setFont(small);
    painter.setPen(row_.showsAlarmColour() ? QColor(170, 0, 0) : QColor(30, 30, 30));
    QRect texts = bar.adjusted(6, 0, -6, 0);
    painter.drawText(texts, Qt::AlignLeft | Qt::AlignVCenter,
                     QString::fromStdString(row_.u64TotalSpace));
    painter.drawText(texts, Qt::AlignRight | Qt::AlignVCenter,
                     QString::fromStdString(row_.u64FreeSpace));

    if (hasButton()) {
        QString button = row_.myStorage == VolumeRow::kMemoryKind
                             ? QStringLiteral("clean_memory.png")
                         : row_.clicked ? QStringLiteral("highthover.png")
                                        : QStringLiteral("hover.png");
        painter.drawImage(buttonRect(), images.image(button));
    }
}

void MenuItemView::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    act(hasButton() && buttonRect().adjusted(-4, -4, 4, 4).contains(event->position().toPoint()));
}

void MenuItemView::keyPressEvent(QKeyEvent* event) {
    // The keyboard reaches what the pointer does: Enter or Space opens the row, Delete presses
    // its eject or purge button.
    switch (event->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Space:
            act(false);
            return;
        case Qt::Key_Delete:
            if (hasButton()) act(true);
            return;
        default:
            QWidget::keyPressEvent(event);
    }
}

void MenuItemView::act(bool onButton) {
    // What a click starts may rebuild the panel (an eject, the alert's own event loop), and
    // this row with it: act on a copy and touch the row again only while it still exists.
    QPointer<MenuItemView> self(this);
    VolumeRow acting = row_;
    auto eject = eject_;
    if (onButton) {
        if (acting.myStorage == VolumeRow::kMemoryKind) {
            acting.cleanMemoryButtonClick();
        } else {
            acting.backDisk(eject);
        }
    } else {
        acting.mouseDown();
    }
    if (!self) return;
    row_.volumeSize = acting.volumeSize;
    row_.clicked = acting.clicked;
    update();
}

void MenuItemView::enterEvent(QEnterEvent*) {
    row_.clicked = true;
    update();
}

void MenuItemView::leaveEvent(QEvent*) {
    row_.clicked = false;
    update();
}

}  // namespace quillby
