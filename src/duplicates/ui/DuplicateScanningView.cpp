// SPDX-License-Identifier: GPL-3.0-or-later
#include "duplicates/ui/DuplicateScanningView.h"

#include <QFileInfo>
#include <QLabel>
#include <QMimeDatabase>
#include <QProgressBar>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

#include "ui/CutTextLabel.h"

namespace quillby {

namespace {

constexpr int kPathKept = 70;

}  // namespace

DuplicateScanningView::DuplicateScanningView(QWidget* parent)
    : DuplicateViewPage(parent),
      icon_(new QLabel(this)),
      path_(new CutTextLabel(kPathKept, this)),
      progress_(new QProgressBar(this)),
      stop_(new QPushButton(tr("Stop Scan"), this)),
      stopped_(new QLabel(tr("The search is stopping; what it found so far is dropped."), this)) {
    setAccessibleName(tr("Searching for duplicates"));
    icon_->setFixedSize(120, 120);
    icon_->setAlignment(Qt::AlignCenter);
    icon_->setAccessibleName(tr("Icon of the file being examined"));
    path_->setAccessibleName(tr("File being examined"));
    progress_->setRange(0, 100);
    progress_->setAccessibleName(tr("Search progress"));
    stop_->setToolTip(tr("Stop Scan"));
    stop_->setAccessibleName(tr("Stop Scan"));
    stopped_->setAccessibleName(tr("Search stopped"));
    stopped_->hide();
    QLabel* title = heading(tr("Searching for duplicate files"), 1.4);
    progress_->setMaximumWidth(fontMetrics().averageCharWidth() * 70);
    auto* layout = new QVBoxLayout(this);
    layout->addStretch(2);
    layout->addWidget(title, 0, Qt::AlignHCenter);
    layout->addWidget(icon_, 0, Qt::AlignHCenter);
    layout->addWidget(path_, 0, Qt::AlignHCenter);
    layout->addWidget(progress_, 0, Qt::AlignHCenter);
    layout->addWidget(stopped_, 0, Qt::AlignHCenter);
    layout->addWidget(stop_, 0, Qt::AlignHCenter);
    layout->addStretch(3);
}

void DuplicateScanningView::showStarted(int percent) {
    progress_->setValue(percent);
    progress_->show();
    stop_->show();
    stop_->setEnabled(true);
    stopped_->hide();
    path_->setFullText({});
    icon_->clear();
}

void DuplicateScanningView::showProgress(int percent, const QString& path) {
    if (percent > progress_->value()) progress_->setValue(percent);
    if (path == path_->fullText()) return;
    path_->setFullText(path);
    // The icon comes from the name's type: the GUI thread never reads the file.
    static const QMimeDatabase mimes;
    QMimeType type = mimes.mimeTypeForFile(path, QMimeDatabase::MatchExtension);
    QIcon icon = QIcon::fromTheme(type.iconName(), QIcon::fromTheme(type.genericIconName()));
    if (icon.isNull()) icon = style()->standardIcon(QStyle::SP_FileIcon);
    icon_->setPixmap(icon.pixmap(120, 120));
}

void DuplicateScanningView::showStopping() {
    stop_->hide();
    progress_->hide();
    stopped_->show();
}

}  // namespace quillby
