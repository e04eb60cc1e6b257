// SPDX-License-Identifier: GPL-3.0-or-later
#include "clean/ui/CleanBottomBar.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

#include "clean/SystemCleanModel.h"
#include "ui/ImageProvider.h"
#include "ui/RichStatusLine.h"

namespace quillby {

CleanBottomBar::CleanBottomBar(SystemCleanModel& model, QWidget* parent)
    : QWidget(parent),
      model_(model),
      lock_(new QToolButton),
      summary_(new QLabel),
      status_(new RichStatusLine),
      scan_(new QPushButton(tr("Scan"))),
      stop_(new QPushButton(tr("Stop"))),
      clean_(new QPushButton(tr("Clean"))) {
    setAccessibleName(tr("System clean"));
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(8, 6, 8, 6);
    lock_->setAutoRaise(true);
    lock_->setEnabled(false);  // rights are asked for when a clean needs them
    lock_->setAccessibleName(tr("Administrator rights"));
    summary_->setAccessibleName(tr("Selection"));
    status_->setAccessibleName(tr("Clean status"));
    scan_->setAccessibleName(tr("Scan"));
    stop_->setAccessibleName(tr("Stop"));
    clean_->setAccessibleName(tr("Clean"));
    auto* texts = new QVBoxLayout;
    texts->setSpacing(0);
    texts->addWidget(summary_);
    texts->addWidget(status_);
    layout->addWidget(lock_);
    layout->addLayout(texts, 1);
    for (auto* button : {scan_, stop_, clean_}) layout->addWidget(button);
    connect(scan_, &QPushButton::clicked, this, [this] { model_.scan(); });
    connect(stop_, &QPushButton::clicked, this, [this] { model_.stop(); });
    connect(clean_, &QPushButton::clicked, this, [this] { model_.clean(); });
    refresh();
}

void CleanBottomBar::refresh() {
    bool unlocked = model_.isUnlocked();
    lock_->setIcon(ImageProvider::shared().icon(unlocked ? QStringLiteral("Unlock.png")
                                                         : QStringLiteral("Lock.png")));
    lock_->setToolTip(unlocked ? tr("Administrator rights are held")
                               : tr("No administrator rights are held"));
    RichStatusLine::showPlain(*summary_, QString::fromStdString(model_.summaryText()));
    status_->showMessage(QString::fromStdString(model_.statusText()));
    // A scan or clean that ends is told to a screen reader: the user's focus is elsewhere.
    bool busy = model_.isScanning() || model_.isCleaning();
    if (wasBusy_ && !busy) {
        RichStatusLine::announce(status_->accessibleDescription().isEmpty() ? *summary_ : *status_);
    }
    wasBusy_ = busy;
    scan_->setEnabled(model_.canScan() && !model_.isScanning());
    stop_->setEnabled(model_.canStop());
    clean_->setEnabled(model_.canClean());
}

}  // namespace quillby
