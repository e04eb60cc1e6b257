// SPDX-License-Identifier: GPL-3.0-or-later
#include "diskusage/ui/DiskUsagePathListPage.h"

#include <QCheckBox>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QMimeData>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>
#include <optional>

#include "diskusage/DiskUsageAppController.h"
#include "diskusage/ui/DiskUsageLeftCellView.h"
#include "diskusage/ui/PageParts.h"

namespace quillby {

namespace {

// The one local item a drop carries, or nothing.
std::optional<QFileInfo> droppedItem(const QMimeData* data) {
    if (!data || !data->hasUrls() || data->urls().size() != 1) return std::nullopt;
    const QUrl& url = data->urls().front();
    if (!url.isLocalFile()) return std::nullopt;
    return QFileInfo(url.toLocalFile());
}

// The local folder a drop carries, or an empty text.
QString droppedFolder(const QMimeData* data) {
    auto info = droppedItem(data);
    return info && info->isDir() ? QDir::cleanPath(info->absoluteFilePath()) : QString();
}

// The local .json file a drop carries, or an empty text.
QString droppedScanFile(const QMimeData* data) {
    auto info = droppedItem(data);
    bool json = info && info->isFile() &&
                info->suffix().compare(QStringLiteral("json"), Qt::CaseInsensitive) == 0;
    return json ? QDir::cleanPath(info->absoluteFilePath()) : QString();
}

}  // namespace

DiskUsagePathListPage::DiskUsagePathListPage(DiskUsageAppController& controller, QWidget* parent)
    : GradientPage(parent),
      controller_(controller),
      list_(new QVBoxLayout),
      choose_(new QPushButton(tr("Choose a folder..."), this)),
      scan_(new QPushButton(tr("Scan"), this)),
      openScan_(new QPushButton(tr("Open scan…"), this)),
      ring_(new QCheckBox(tr("Show as a ring chart"), this)) {
    setAccessibleName(tr("Disk Usage"));
    setAcceptDrops(true);

    auto* rows = new QWidget;
    rows->setLayout(list_);
    list_->setContentsMargins(0, 0, 0, 0);
    list_->setSpacing(0);
    auto* scroll = PageParts::rowList(rows, 220, tr("Places to measure"), this);
    auto* title = PageParts::pageTitle(tr("Disk Usage"), this);
    auto* note = new QLabel(tr("Pick a place on the left to see where its space goes, choose any "
                               "folder, or drop a folder here. Open scan… shows a scan file "
                               "written here or on another machine."),
                            this);
    note->setWordWrap(true);

    choose_->setToolTip(tr(DiskUsageAppController::kChooseTitle));
    choose_->setAccessibleName(tr("Choose a folder to measure"));
    scan_->setToolTip(tr("Scan"));
    scan_->setAccessibleName(tr("Scan"));
    openScan_->setToolTip(tr(DiskUsageAppController::kOpenScanTitle));
    openScan_->setAccessibleName(tr("Open a scan file"));
    ring_->setToolTip(
        tr("Show the results as rings; otherwise as columns. Used from the next "
           "scan."));
    ring_->setAccessibleName(tr("Show as a ring chart"));
    connect(choose_, &QPushButton::clicked, this, &DiskUsagePathListPage::chooseFolder);
    connect(scan_, &QPushButton::clicked, this, [this] { controller_.getLocalPath(); });
    connect(openScan_, &QPushButton::clicked, this, &DiskUsagePathListPage::chooseScanFile);
    connect(ring_, &QCheckBox::toggled, this, [this](bool on) { controller_.setShowStyle(on); });

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(choose_);
    buttons->addWidget(scan_);
    buttons->addWidget(openScan_);
    buttons->addStretch(1);
    auto* right = new QVBoxLayout;
    right->addWidget(title);
    right->addWidget(note);
    right->addSpacing(12);
    right->addLayout(buttons);
    right->addWidget(ring_);
    right->addStretch(1);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(16, 12, 16, 12);
    layout->addWidget(scroll);
    layout->addSpacing(16);
    layout->addLayout(right, 1);

    rowsChanged_ = controller_.leftCellArr.observe(
        [this](const std::vector<DiskUsageLeftCell>&) { showRows(); });
    showRows();
}

DiskUsagePathListPage::~DiskUsagePathListPage() {
    rowsChanged_.reset();
}

void DiskUsagePathListPage::showRows() {
    auto cells = controller_.leftCellArr.get();
    while (rows_.size() < cells.size()) {
        auto* row = new DiskUsageLeftCellView;
        int index = static_cast<int>(rows_.size());
        connect(row, &QAbstractButton::clicked, this,
                [this, index] { controller_.clickRow(index); });
        list_->insertWidget(index, row);
        rows_.push_back(row);
    }
    if (list_->count() == static_cast<int>(rows_.size())) list_->addStretch(1);
    for (std::size_t i = 0; i < cells.size(); ++i) rows_[i]->setCell(cells[i]);
}

void DiskUsagePathListPage::showEvent(QShowEvent* event) {
    GradientPage::showEvent(event);
    QSignalBlocker quiet(ring_);
    ring_->setChecked(controller_.showStyle());
}

void DiskUsagePathListPage::chooseFolder() {
    auto* dialog = new QFileDialog(this, tr(DiskUsageAppController::kChooseTitle),
                                   QString::fromUtf8(DiskUsageAppController::kChooseStart));
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setFileMode(QFileDialog::Directory);
    dialog->setOption(QFileDialog::ShowDirsOnly, true);
    dialog->setLabelText(QFileDialog::Accept, tr(DiskUsageAppController::kChoosePrompt));
    dialog->setWindowModality(Qt::WindowModal);
    connect(dialog, &QFileDialog::fileSelected, this, [this](const QString& folder) {
        // Links are resolved, so the scan measures the folder itself.
        QString path = QFileInfo(folder).canonicalFilePath();
        controller_.folderChosen((path.isEmpty() ? QDir::cleanPath(folder) : path).toStdString());
    });
    connect(dialog, &QFileDialog::rejected, this, [this] { controller_.folderChoiceCancelled(); });
    dialog->open();
}

void DiskUsagePathListPage::chooseScanFile() {
    auto* dialog = new QFileDialog(this, tr(DiskUsageAppController::kOpenScanTitle),
                                   QDir::homePath(), tr(DiskUsageAppController::kScanFileFilter));
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setFileMode(QFileDialog::ExistingFile);
    dialog->setWindowModality(Qt::WindowModal);
    connect(dialog, &QFileDialog::fileSelected, this, [this](const QString& file) {
        controller_.openScanFile(QDir::cleanPath(file).toStdString());
    });
    dialog->open();
}

void DiskUsagePathListPage::dragEnterEvent(QDragEnterEvent* event) {
    bool usable = !droppedFolder(event->mimeData()).isEmpty() ||
                  !droppedScanFile(event->mimeData()).isEmpty();
    if (usable && controller_.bSearchFinished()) event->acceptProposedAction();
}

void DiskUsagePathListPage::dropEvent(QDropEvent* event) {
    if (QString file = droppedScanFile(event->mimeData()); !file.isEmpty()) {
        event->acceptProposedAction();
        controller_.openScanFile(file.toStdString());
        return;
    }
    QString folder = droppedFolder(event->mimeData());
    if (folder.isEmpty()) return;
    event->acceptProposedAction();
    controller_.dropFolder(folder.toStdString());
}

}  // namespace quillby
