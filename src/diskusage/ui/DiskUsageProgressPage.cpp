// SPDX-License-Identifier: GPL-3.0-or-later
#include "diskusage/ui/DiskUsageProgressPage.h"

#include "diskusage/ui/PageParts.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/text/UtilityFunction.h"
#include "diskusage/DiskUsageAppController.h"
#include "ui/BusySpinner.h"

namespace quillby {

DiskUsageProgressPage::DiskUsageProgressPage(DiskUsageAppController& controller, QWidget* parent)
    : GradientPage(parent),
      controller_(controller),
      path_(new QLabel(this)),
      counts_(new QLabel(this)),
      level_(new QProgressBar(this)),
      spinner_(new BusySpinner(this)),
      stop_(new QPushButton(tr("Stop"), this)),
      stopped_(new QLabel(tr("Stopping..."), this)) {
    setAccessibleName(tr("Disk usage scan"));
    auto* title = PageParts::pageTitle(tr("Measuring disk usage"), this);
    path_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    level_->setAccessibleName(tr("Top-level folders measured"));
    level_->setTextVisible(true);
    stop_->setToolTip(tr("Stop Scan"));
    stop_->setAccessibleName(tr("Stop Scan"));
    stopped_->hide();
    connect(stop_, &QPushButton::clicked, this, [this] {
        controller_.stopScan();
        stop_->setEnabled(false);
        spinner_->setRunning(false);
        stopped_->show();
    });

    auto* row = new QHBoxLayout;
    row->addWidget(spinner_);
    row->addWidget(counts_, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(stopped_);
    buttons->addStretch(1);
    buttons->addWidget(stop_);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 24, 24, 24);
    layout->addStretch(1);
    layout->addWidget(title);
    layout->addWidget(path_);
    layout->addSpacing(12);
    layout->addLayout(row);
    layout->addWidget(level_);
    layout->addStretch(1);
    layout->addLayout(buttons);

    timer_.setInterval(kRefreshMs);
    connect(&timer_, &QTimer::timeout, this, &DiskUsageProgressPage::refresh);
    refresh();
}

void DiskUsageProgressPage::refresh() {
    auto now = controller_.progress();
    QLocale locale;
    path_->setText(QString::fromStdString(now.path));
    counts_->setText(tr("%1 folders, %2 files, %3")
                         .arg(locale.toString(static_cast<qulonglong>(now.folders)),
                              locale.toString(static_cast<qulonglong>(now.files)),
                              QString::fromStdString(UtilityFunction::convertVolSpace(now.bytes))));
    level_->setMaximum(static_cast<int>(std::max<std::int64_t>(now.levelsTotal, 1)));
    level_->setValue(
        static_cast<int>(std::min(now.levelsDone, std::max<std::int64_t>(now.levelsTotal, 1))));
    level_->setFormat(tr("%1 of %2 top-level folders").arg(now.levelsDone).arg(now.levelsTotal));
}

void DiskUsageProgressPage::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    stop_->setEnabled(true);
    stopped_->hide();
    spinner_->setRunning(true);
    refresh();
    timer_.start();
}

void DiskUsageProgressPage::hideEvent(QHideEvent* event) {
    timer_.stop();
    spinner_->setRunning(false);
    QWidget::hideEvent(event);
}

}  // namespace quillby
