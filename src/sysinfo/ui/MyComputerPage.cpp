// SPDX-License-Identifier: GPL-3.0-or-later
#include "sysinfo/ui/MyComputerPage.h"

#include <QHBoxLayout>
#include <QPainter>
#include <QVBoxLayout>
#include <any>

#include "core/events/EventBus.h"
#include "core/events/Events.h"
#include "sysinfo/ui/CustomComInfoView.h"
#include "ui/ImageProvider.h"
#include "ui/VolumeTile.h"
#include "ui/WorkRunner.h"

namespace quillby {

namespace {
const VolumeRow* bootRow(const std::vector<VolumeRow>& rows) {
    for (const auto& row : rows) {
        if (row.bIsDefaultVol) return &row;
    }
    return nullptr;
}

// The titles and icons of the facts table, every value still to be read.
std::array<ComputerInfoRow, 7> placeholderRows() {
    auto rows = computerInfoRows(MachineFacts{});
    for (auto& row : rows) row.value = MyComputerPage::kPlaceholder;
    return rows;
}
}  // namespace

MyComputerPage::MyComputerPage(RowsProvider volumes, FactsReader facts,
                               std::function<bool(const std::string&)> browse, QWidget* parent)
    : QWidget(parent),
      volumes_(std::move(volumes)),
      browse_(std::move(browse)),
      work_(new WorkRunner(this)) {
    setMinimumSize(704, 475);  // the design size; the page may give more
    // The boot volume's tile on top, the facts below it, both as wide as the page allows.
    layout_ = new QVBoxLayout(this);
    layout_->setContentsMargins(0, 22, 4, 0);
    layout_->setSpacing(0);
    layout_->addSpacing(130 - 22 - VolumeTile::kSize.height());  // below the tile
    table_ = new CustomComInfoView(placeholderRows(), this);
    auto* factsRow = new QHBoxLayout;
    factsRow->setContentsMargins(52, 0, 52, 0);
    factsRow->addWidget(table_);
    layout_->addLayout(factsRow);
    layout_->addStretch();
    initWithFrame();
    if (facts) {
        work_->run<std::array<ComputerInfoRow, 7>>(
            std::move(facts),
            [this](std::array<ComputerInfoRow, 7> rows) { table_->setRows(std::move(rows)); });
    }
}

void MyComputerPage::initWithFrame() {
    delete tile_;
    tile_ = nullptr;
    auto rows = volumes_();
    const VolumeRow* boot = bootRow(rows);
    if (!boot) return;
    tile_ = new VolumeTile(*boot, {}, browse_, this);
    layout_->insertWidget(0, tile_);  // on top; a tile made again replaces the deleted one
    tile_->show();
    std::vector<std::any> pair{boot->u64TotalSpace, boot->u64FreeSpace};
    EventBus::defaultCenter().post(Events::FreeTotleArr, pair);
}

void MyComputerPage::updateViewAndData() {
    if (!tile_) {
        initWithFrame();
        return;
    }
    auto rows = volumes_();
    const VolumeRow* boot = bootRow(rows);
    if (!boot) return;
    VolumeRow row = tile_->row();
    row.u64FreeSpace = boot->u64FreeSpace;
    row.u64TotalSpace = boot->u64TotalSpace;
    row.nFreeSize = boot->nFreeSize;
    row.nTotalSize = boot->nTotalSize;
    row.volumeSize = boot->volumeSize;
    row.volRootDir = boot->volRootDir;
    tile_->setRow(std::move(row));
}

void MyComputerPage::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.drawImage(rect(), ImageProvider::shared().image(QStringLiteral("right.png")));
}

}  // namespace quillby
