// SPDX-License-Identifier: GPL-3.0-or-later
#include "diskusage/ui/DiskUsageTool.h"

#include <QHBoxLayout>
#include <QKeySequence>
#include <QLabel>
#include <QPushButton>
#include <QShortcut>
#include <QStackedWidget>
#include <QVBoxLayout>

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
    resultsPage_ = new QWidget;
    results_ = new QStackedWidget(resultsPage_);
    results_->setAccessibleName(tr("Disk usage results"));
    // The column view has no bar of its own: the page gives it the ring page's way back.
    columnsBar_ = new QWidget(resultsPage_);
    columnsBack_ = new QPushButton(tr("Back"), columnsBar_);
    columnsBack_->setToolTip(tr("Back to the path list"));
    columnsBack_->setAccessibleName(tr("Back"));
    auto* bar = new QHBoxLayout(columnsBar_);
    bar->setContentsMargins(12, 6, 12, 10);
    bar->addWidget(columnsBack_);
    bar->addStretch(1);
    unreadable_ = new QLabel(resultsPage_);
    unreadable_->setWordWrap(true);
    unreadable_->setContentsMargins(12, 6, 12, 0);
    unreadable_->setAccessibleName(tr("Folders not read"));
    unreadable_->hide();
    auto* layout = new QVBoxLayout(resultsPage_);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(unreadable_);
    layout->addWidget(results_, 1);
    layout->addWidget(columnsBar_);
    connect(columnsBack_, &QPushButton::clicked, this, &DiskUsageTool::backFromResults);
    ring_ = new DiskUsageRingPage(controller_->diskView(), asker);
    // Escape leaves the results; Alt+Left steps back through the ring's folders (from the first
    // one, out of the results, as on the columns) and Alt+Right forward again.
    auto shortcut = [this](QKeySequence keys, auto action) {
        auto* made = new QShortcut(keys, resultsPage_);
        made->setContext(Qt::WidgetWithChildrenShortcut);
        connect(made, &QShortcut::activated, this, action);
    };
    shortcut(QKeySequence(Qt::Key_Escape), [this] { backFromResults(); });
    shortcut(QKeySequence(Qt::ALT | Qt::Key_Left), [this] {
        if (ringShown()) {
            ring_->historyBack();
        } else {
            backFromResults();
        }
    });
    shortcut(QKeySequence(Qt::ALT | Qt::Key_Right), [this] {
        if (ringShown()) ring_->historyForward();
    });
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
        if (columns_) columns_->showTree(controller_->browserRoot(), controller_->browserChanges());
    }));
}

DiskUsageTool::~DiskUsageTool() {
    subscriptions_.clear();
    // Pages that no window took over go with the tool, before the controller they read.
    for (QWidget* page : {static_cast<QWidget*>(pathList_.data()),
                          static_cast<QWidget*>(progress_.data()), resultsPage_.data()}) {
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
    return resultsPage_;
}

QStackedWidget* DiskUsageTool::resultsStack() const {
    return results_;
}

QPushButton* DiskUsageTool::columnsBackButton() const {
    return columnsBack_;
}

QLabel* DiskUsageTool::unreadableNote() const {
    return unreadable_;
}

void DiskUsageTool::backFromResults() {
    if (controller_->pageMode.get() != DiskUsageAppController::kResults) return;
    // The ring page's own Back also leaves its chart's state; it is off while a removal runs.
    if (results_->currentWidget() == ring_) {
        ring_->backButton()->click();
        return;
    }
    controller_->pageMode.set(DiskUsageAppController::kPathChoice);
}

bool DiskUsageTool::ringShown() const {
    return controller_->pageMode.get() == DiskUsageAppController::kResults &&
           results_->currentWidget() == ring_;
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
        QString note = QString::fromStdString(controller_->unreadableNote());
        unreadable_->setText(note.isEmpty() ? note : QString::fromUtf8(kUnreadableMark) + note);
        unreadable_->setVisible(!note.isEmpty());
        if (controller_->resultsInRing()) {
            results_->setCurrentWidget(ring_);
            columnsBar_->hide();
        } else {
            columnsBar_->show();
            if (columns_)
                columns_->showTree(controller_->browserRoot(), controller_->browserChanges());
            results_->setCurrentWidget(columns_ ? static_cast<QWidget*>(columns_.data())
                                                : noColumns_.data());
        }
    }
    if (showPage_) showPage_(mode);
    // Keys (Escape, Alt+Left, arrows) belong to the results once they show, not to the place row
    // that was clicked on the page now hidden.
    if (QWidget* shown = results_->currentWidget();
        shown && mode == DiskUsageAppController::kResults) {
        QWidget* target = shown;
        // A page that names where its keys go (the ring page: its chart) is asked directly.
        for (QWidget* child :
             shown->focusProxy() ? QList<QWidget*>() : shown->findChildren<QWidget*>()) {
            if ((child->focusPolicy() & Qt::TabFocus) && child->isVisibleTo(shown)) {
                target = child;
                break;
            }
        }
        target->setFocus(Qt::OtherFocusReason);
    }
}

}  // namespace quillby
