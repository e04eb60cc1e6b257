// SPDX-License-Identifier: GPL-3.0-or-later
#include "diskusage/ui/DiskUsageTool.h"

#include <QLabel>
#include <QStackedWidget>

#include "diskusage/ui/DiskUsagePathListPage.h"
#include "diskusage/ui/DiskUsageProgressPage.h"
#include "diskusage/ui/DiskUsageRingPage.h"
#include "ui/PageHost.h"
#include "ui/WindowModalAsker.h"

namespace quillby {

DiskUsageTool::DiskUsageTool(const PageNeeds& needs, Options options, QObject* parent)
    : QObject(parent) {
    options.environment.asker = needs.asker;
    options.environment.queue = needs.queue;
    options.environment.columnBrowserAvailable = static_cast<bool>(options.columnBrowser);
    if (!options.environment.asker)
        options.environment.asker = std::make_shared<WindowModalAsker>(nullptr);
    auto asker = options.environment.asker;
    controller_ = std::make_unique<DiskUsageAppController>(std::move(options.environment));
    pathList_ = new DiskUsagePathListPage(*controller_);
    progress_ = new DiskUsageProgressPage(*controller_);
    results_ = new QStackedWidget;
    results_->setAccessibleName(tr("Disk usage results"));
    ring_ = new DiskUsageRingPage(controller_->diskView(), asker);
    results_->addWidget(ring_);
    if (options.columnBrowser) {
        columns_ = options.columnBrowser(*controller_, results_);
        results_->addWidget(columns_);
    } else {
        noColumns_ = new QLabel(tr(kNoColumnView));
        noColumns_->setAlignment(Qt::AlignCenter);
        noColumns_->setWordWrap(true);
        results_->addWidget(noColumns_);
    }
    connect(ring_, &DiskUsageRingPage::backRequested, this,
            [this] { controller_->pageMode.set(DiskUsageAppController::kPathChoice); });
    subscriptions_.push_back(
        controller_->pageMode.observe([this](const int& mode) { pageModeChanged(mode); }));
    subscriptions_.push_back(controller_->browserRootChanged.observe([this](const int&) {
        if (columns_) columns_->showTree(controller_->browserRoot());
    }));
}

DiskUsageTool::~DiskUsageTool() {
    subscriptions_.clear();
    // Pages that no window took over go with the tool, before the controller they read.
    for (QWidget* page :
         {static_cast<QWidget*>(pathList_.data()), static_cast<QWidget*>(progress_.data()),
          static_cast<QWidget*>(results_.data())}) {
        if (page && !page->parent()) delete page;
    }
    controller_.reset();
}

DiskUsagePathListPage* DiskUsageTool::pathListPage() const {
    return pathList_;
}

DiskUsageProgressPage* DiskUsageTool::progressPage() const {
    return progress_;
}

QWidget* DiskUsageTool::resultsPage() const {
    return results_;
}

DiskUsageRingPage* DiskUsageTool::ringPage() const {
    return ring_;
}

void DiskUsageTool::registerWith(PageHost& host) {
    const QStringList pages{kPathListPage, kProgressPage, kResultsPage};
    for (int mode = 0; mode < pages.size(); ++mode) {
        host.addPage(mode == 0   ? static_cast<QWidget*>(pathListPage())
                     : mode == 1 ? static_cast<QWidget*>(progressPage())
                                 : resultsPage(),
                     pages[mode]);
    }
    showPage_ = host.featurePageSwitcher(pages);
}

void DiskUsageTool::pageModeChanged(int mode) {
    if (mode == DiskUsageAppController::kResults) {
        if (controller_->resultsInRing()) {
            results_->setCurrentWidget(ring_);
        } else {
            if (columns_) columns_->showTree(controller_->browserRoot());
            results_->setCurrentWidget(columns_ ? static_cast<QWidget*>(columns_.data())
                                                : noColumns_.data());
        }
    }
    if (showPage_) showPage_(mode);
}

}  // namespace quillby
