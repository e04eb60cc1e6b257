// SPDX-License-Identifier: GPL-3.0-or-later
#include "monitor/ui/DiskSizeView.h"

#include <QPainter>
#include <QScrollArea>
#include <QVBoxLayout>

#include "core/events/Log.h"
#include "ui/ImageProvider.h"
#include "ui/VolumeTile.h"

namespace quillby {

DiskSizeView::DiskSizeView(RowsProvider rows, std::function<bool(std::int32_t)> eject,
                           std::function<bool(const std::string&)> browse, QWidget* parent)
    : QWidget(parent),
      rows_(std::move(rows)),
      eject_(std::move(eject)),
      browse_(std::move(browse)) {
    setMinimumSize(704, 475);  // the design size; the page may give more
    auto* scroll = new QScrollArea(this);
    auto* frame = new QVBoxLayout(this);
    frame->setContentsMargins(0, 0, 0, 0);
    frame->addWidget(scroll);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll->setStyleSheet(QStringLiteral("background: transparent;"));
    auto* content = new QWidget;
    list_ = new QVBoxLayout(content);
    list_->setContentsMargins(2, 0, 2, 0);
    list_->setSpacing(0);
    list_->addStretch();
    scroll->setWidget(content);
    scroll->setWidgetResizable(true);
    initDiskSizeView();
}

void DiskSizeView::initDiskSizeView() {
    for (auto* tile : tiles_) delete tile;
    tiles_.clear();
    int index = 0;
    for (auto& row : rows_()) {
        row.ViewTag = index;
        auto* tile = new VolumeTile(std::move(row), eject_, browse_);
        list_->insertWidget(index++, tile);
        tiles_.push_back(tile);
    }
    QWLog("initAllItemArr +++++++==%d tiles", static_cast<int>(tiles_.size()));
}

void DiskSizeView::updateViewAndData() {
    auto rows = rows_();
    for (size_t i = 0; i < tiles_.size() && i < rows.size(); ++i) {
        VolumeRow row = tiles_[i]->row();
        row.u64FreeSpace = rows[i].u64FreeSpace;
        row.u64TotalSpace = rows[i].u64TotalSpace;
        row.nFreeSize = rows[i].nFreeSize;
        row.nTotalSize = rows[i].nTotalSize;
        row.volumeSize = rows[i].volumeSize;
        row.volRootDir = rows[i].volRootDir;
        tiles_[i]->setRow(std::move(row));
    }
}

void DiskSizeView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.drawImage(rect(), ImageProvider::shared().image(QStringLiteral("right.png")));
}

}  // namespace quillby
