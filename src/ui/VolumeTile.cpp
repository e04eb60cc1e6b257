// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/VolumeTile.h"

#include <QEvent>
#include <QPainter>
#include <QToolButton>
#include <cmath>

#include "ui/ImageProvider.h"
#include "ui/PaintText.h"

namespace quillby {

namespace {

QToolButton* imageButton(QWidget* parent, const QString& image, const QString& tip) {
    auto* button = new QToolButton(parent);
    button->setAutoRaise(true);
    button->setIcon(ImageProvider::shared().icon(image));
    button->setIconSize(QSize(24, 24));
    button->setToolTip(tip);
    button->setAccessibleName(tip);
    button->setCursor(Qt::PointingHandCursor);
    return button;
}

}  // namespace

VolumeTile::VolumeTile(VolumeRow row, std::function<bool(std::int32_t)> eject,
                       std::function<bool(const std::string&)> browse, QWidget* parent)
    : QWidget(parent),
      row_(std::move(row)),
      ejectVolume_(std::move(eject)),
      browseFolder_(std::move(browse)) {
    enableAccessibility(this);
    // As wide as the page gives, never narrower than the design size; the buttons keep to the
    // right edge and the level bar takes the width between.
    setMinimumSize(kSize);
    setFixedHeight(kSize.height());
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    browse_ = imageButton(this, QStringLiteral("search.png"), tr("Show in the file manager"));
    connect(browse_, &QToolButton::clicked, this, [this] {
        if (browseFolder_) browseFolder_(row_.volRootDir);
    });
    eject_ = imageButton(this, QStringLiteral("tc.png"), tr("Eject"));
    eject_->installEventFilter(this);
    connect(eject_, &QToolButton::clicked, this, [this] { row_.backDisk(ejectVolume_); });
    setRow(row_);
}

void VolumeTile::resizeEvent(QResizeEvent*) {
    browse_->setGeometry(width() - 100, 29, 32, 32);
    eject_->setGeometry(width() - 60, 29, 32, 32);
}

int VolumeTile::barWidth() const {
    return width() - kBarLeft - (kSize.width() - kBarLeft - kDesignBarWidth);
}

QRect VolumeTile::barRect() const {
    return {kBarLeft, 38, barWidth(), 18};
}

void VolumeTile::setRow(VolumeRow row) {
    row_ = std::move(row);
    eject_->setVisible(row_.bCanEject);
    // Figures are refreshed often: only a real change is told to assistive technology.
    QString name = QString::fromStdString(row_.volumeSize);
    QString figures = tr("%1 free of %2")
                          .arg(QString::fromStdString(row_.u64FreeSpace),
                               QString::fromStdString(row_.u64TotalSpace));
    if (accessibleName() != name) setAccessibleName(name);
    if (accessibleDescription() != figures) setAccessibleDescription(figures);
    update();
}

PaintedParts::Part VolumeTile::paintedPart(int) const {
    Part bar{QAccessible::ProgressBar, tr("Space used on %1").arg(accessibleName()),
             accessibleDescription(), barRect()};
    std::uint64_t used = row_.nTotalSize - std::min(row_.nFreeSize, row_.nTotalSize);
    bar.value = row_.nTotalSize ? std::round(1000.0 * static_cast<double>(used) /
                                             static_cast<double>(row_.nTotalSize)) /
                                      10
                                : 0.0;
    return bar;
}

bool VolumeTile::eventFilter(QObject* watched, QEvent* event) {
    if (watched == eject_ && (event->type() == QEvent::Enter || event->type() == QEvent::Leave)) {
        bool hovered = event->type() == QEvent::Enter;
        eject_->setIcon(ImageProvider::shared().icon(hovered ? QStringLiteral("tc_hover.png")
                                                             : QStringLiteral("tc.png")));
    }
    return QWidget::eventFilter(watched, event);
}

void VolumeTile::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    auto& images = ImageProvider::shared();
    painter.setPen(QColor(255, 255, 255, 30));
    painter.drawLine(QPoint(10, height() - 1), QPoint(width() - 10, height() - 1));

    QString icon =
        QString::fromStdString(VolumeRow::tileIconName(row_.myStorage, row_.bIsDefaultVol));
    painter.drawImage(QRect(20, 17, 48, 56), images.image(icon));

    painter.setPen(Qt::white);
    painter.setFont(boldFont(font(), 12));
    drawElidedText(painter, QRect(kBarLeft, 10, barWidth(), 24), Qt::AlignLeft | Qt::AlignVCenter,
                   QString::fromStdString(row_.volumeSize));

    if (auto level = row_.getPrograssImage(true)) {
        painter.drawImage(barRect(), images.image(QString::fromStdString(*level)));
    }
    QFont small = font();
    small.setPointSize(9);
    painter.setFont(small);
    QRect texts(kBarLeft, 60, barWidth(), 18);
    painter.drawText(texts, Qt::AlignLeft | Qt::AlignVCenter,
                     tr("%1 Total").arg(QString::fromStdString(row_.u64TotalSpace)));
    painter.drawText(texts, Qt::AlignRight | Qt::AlignVCenter,
                     tr("%1 Free").arg(QString::fromStdString(row_.u64FreeSpace)));
}

}  // namespace quillby
