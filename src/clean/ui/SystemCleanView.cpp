// SPDX-License-Identifier: GPL-3.0-or-later
#include "clean/ui/SystemCleanView.h"

#include <QHBoxLayout>

#include "clean/CleanCategory.h"
#include "clean/SystemCleanModel.h"
#include "clean/ui/CleanBottomBar.h"
#include "clean/ui/CleanCategoryPage.h"
#include "clean/ui/CleanFeatureRow.h"
#include "clean/ui/CleanReportPage.h"
#include "ui/PageHost.h"
#include "ui/WindowModalAsker.h"

namespace quillby {

SystemCleanView::SystemCleanView(const PageNeeds& needs,
                                 std::function<std::vector<CleanFolder>(int category)> folders,
                                 QObject* parent)
    : QObject(parent), asker_(needs.asker) {
    model_ = std::make_unique<SystemCleanModel>(
        SystemCleanModel::Options{.folders = std::move(folders),
                                  .asker = nullptr,
                                  .mainQueue = needs.queue,
                                  .authorization = needs.authorization});
    for (int id = 0; id < CleanCategoryId::Count; ++id) {
        rows_[id] = new CleanFeatureRow(*model_, id);
        pages_[id] = new CleanCategoryPage(*model_, id, needs.viewer);
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
        if (showSubPage_) showSubPage_(page);
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

void SystemCleanView::registerWith(PageHost& host) {
    for (int id = 0; id < CleanCategoryId::Count; ++id) {
        host.addFeature(id + 1, QString::fromStdString(std::string(cleanCategories()[id].title)),
                        pages_[id], rows_[id]);
    }
    host.addFeatureSeparator(7);
    // The overview row keeps its title; the total of the categories shows beside it.
    auto* overview = new QWidget;
    auto* layout = new QHBoxLayout(overview);
    layout->setContentsMargins(6, 0, 8, 0);
    layout->addStretch(1);
    overviewSize_ = new QLabel;
    overviewSize_->setAccessibleName(tr("Size of all categories"));
    layout->addWidget(overviewSize_);
    if (host.setFeatureRowWidget(0, overview)) {
        refresh();
    } else {
        delete overview;
    }
    host.setFeatureBottomBar(bar_);
    host.onFeatureSelected(this, [this](int row) {
        model_->selectRow(row);
        if (bar_) bar_->setVisible(row <= CleanCategoryId::Count);
    });
    model_->selectRow(host.selectedFeature());
    host.addPage(progress_, QStringLiteral("QC_FastClean"));
    host.addPage(results_, QStringLiteral("DATA_FastClean"));
    // The sub-pages in the order of the model's pages.
    static_assert(SystemCleanModel::ProgressPage == 1 && SystemCleanModel::ResultsPage == 2);
    showSubPage_ = host.featurePageSwitcher(
        {QStringLiteral("Scan"), QStringLiteral("QC_FastClean"), QStringLiteral("DATA_FastClean")});
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

}  // namespace quillby
