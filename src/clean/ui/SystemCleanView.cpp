#include "clean/ui/SystemCleanView.h"

#include <QHBoxLayout>

#include "clean/CleanCategory.h"
#include "clean/SystemCleanModel.h"
#include "clean/ui/CleanBottomBar.h"
#include "clean/ui/CleanCategoryPage.h"
#include "clean/ui/CleanFeatureRow.h"
#include "clean/ui/CleanReportPage.h"
#include "shell/NewMainViewController.h"
#include "shell/PrefsWindowController.h"
#include "ui/WindowModalAsker.h"

SystemCleanView::SystemCleanView(MainQueue& mainQueue, Services services, QObject* parent)
    : QObject(parent), asker_(std::move(services.asker)) {
    model_ = std::make_unique<SystemCleanModel>(
        SystemCleanModel::Options{.folders = std::move(services.folders),
                                  .asker = nullptr,
                                  .mainQueue = &mainQueue,
                                  .authorization = services.authorization});
    for (int id = 0; id < CleanCategoryId::Count; ++id) {
        rows_[id] = new CleanFeatureRow(*model_, id);
        pages_[id] = new CleanCategoryPage(*model_, id, services.viewer);
    }
    bar_ = new CleanBottomBar(*model_);
    progress_ = new CleanReportPage(*model_, CleanReportPage::Progress);
    results_ = new CleanReportPage(*model_, CleanReportPage::Results);
    // Message boxes need a widget of the page, which needs the model: the asker comes last.
    if (!asker_) asker_ = std::make_shared<WindowModalAsker>(bar_);
    model_->setAsker(asker_.get());
    model_->changed = [this] { refresh(); };
    // The model says it changed right after each page change: the refresh comes from there.
    model_->subPageChanged = [this](SystemCleanModel::SubPage page) {
        if (!window_) return;
        // The feature's page changes; the window follows only when the feature is in view.
        static const QStringList feature{QStringLiteral("Scan"), QStringLiteral("QC_FastClean"),
                                         QStringLiteral("DATA_FastClean")};
        window_->setView4FastClean(page);
        if (!feature.contains(window_->currentIdentifier())) return;
        window_->displayViewForIdentifier(
            page == SystemCleanModel::ProgressPage  ? QStringLiteral("QC_FastClean")
            : page == SystemCleanModel::ResultsPage ? QStringLiteral("DATA_FastClean")
                                                    : QStringLiteral("Scan"),
            true);
    };
}

SystemCleanView::~SystemCleanView() {
    // Widgets never handed to a page or window are this object's own.
    std::vector<QWidget*> widgets{bar_, progress_, results_};
    widgets.insert(widgets.end(), rows_.begin(), rows_.end());
    widgets.insert(widgets.end(), pages_.begin(), pages_.end());
    for (QWidget* widget : widgets) {
        if (widget && !widget->parent()) delete widget;
    }
}

void SystemCleanView::addTo(NewMainViewController& page) {
    for (int id = 0; id < CleanCategoryId::Count; ++id) {
        page.addFeature(id + 1, QString::fromStdString(std::string(cleanCategories()[id].title)),
                        pages_[id], rows_[id]);
    }
    page.addSeparator(7);
    // The overview row keeps its title; the total of the categories shows beside it.
    auto* overview = new QWidget;
    auto* layout = new QHBoxLayout(overview);
    layout->setContentsMargins(6, 0, 8, 0);
    layout->addStretch(1);
    overviewSize_ = new QLabel;
    overviewSize_->setAccessibleName(tr("Size of all categories"));
    layout->addWidget(overviewSize_);
    if (page.setRowWidget(0, overview)) {
        refresh();
    } else {
        delete overview;
    }
    page.setBottomBar(bar_);
    connect(&page, &NewMainViewController::rowSelected, this, [this](int row) {
        model_->selectRow(row);
        if (bar_) bar_->setVisible(row <= CleanCategoryId::Count);
    });
    model_->selectRow(page.selectedRow());
}

void SystemCleanView::addSubPagesTo(PrefsWindowController& window) {
    window.addView(progress_, QStringLiteral("QC_FastClean"));
    window.addView(results_, QStringLiteral("DATA_FastClean"));
    window_ = &window;
}

void SystemCleanView::refresh() {
    for (auto& row : rows_) {
        if (row) row->refresh();
    }
    for (auto& page : pages_) {
        if (page) page->refresh();
    }
    for (QPointer<CleanReportPage> report : {progress_, results_}) {
        if (report) report->refresh();
    }
    if (bar_) bar_->refresh();
    if (overviewSize_) overviewSize_->setText(QString::fromStdString(model_->rowSizeText(0)));
}
