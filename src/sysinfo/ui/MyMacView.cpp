#include "sysinfo/ui/MyMacView.h"

#include <QPainter>
#include <any>

#include "core/EventBus.h"
#include "core/Events.h"
#include "monitor/ui/CustomVolumView.h"
#include "shell/ImageProvider.h"
#include "sysinfo/ui/CustomComInfoView.h"

namespace {
const VolumeRow* bootRow(const std::vector<VolumeRow>& rows) {
    for (const auto& row : rows) {
        if (row.bIsDefaultVol) return &row;
    }
    return nullptr;
}
}  // namespace

MyMacView::MyMacView(RowsProvider volumes, std::array<ComputerInfoRow, 7> facts,
                     std::function<bool(const std::string&)> browse, QWidget* parent)
    : QWidget(parent), volumes_(std::move(volumes)), browse_(std::move(browse)) {
    setFixedSize(704, 475);
    table_ = new CustomComInfoView(std::move(facts), this);
    table_->move(52, 130);
    initWithFrame();
}

void MyMacView::initWithFrame() {
    delete tile_;
    tile_ = nullptr;
    auto rows = volumes_();
    const VolumeRow* boot = bootRow(rows);
    if (!boot) return;
    tile_ = new CustomVolumView(*boot, {}, browse_, this);
    tile_->move(0, 22);
    tile_->show();
    std::vector<std::any> pair{boot->u64TotalSpace, boot->u64FreeSpace};
    EventBus::defaultCenter().post(Events::FreeTotleArr, pair);
}

void MyMacView::updateViewAndData() {
    if (!tile_) return;
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

void MyMacView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.drawImage(rect(), ImageProvider::shared().image(QStringLiteral("right.png")));
}
