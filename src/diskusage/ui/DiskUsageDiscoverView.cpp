// SPDX-License-Identifier: GPL-3.0-or-later
#include "diskusage/ui/DiskUsageDiscoverView.h"

#include <QCheckBox>
#include <QLabel>
#include <QScrollArea>
#include <QVBoxLayout>

#include "core/fs/PathRules.h"
#include "diskusage/DiskUsageListColumns.h"
#include "diskusage/RingPageModel.h"
#include "diskusage/ui/PageParts.h"
#include "diskusage/ui/SelectableItemRow.h"

namespace quillby {

namespace {
// Room beside the rows for the list's scroll bar, as on the item list.
constexpr int kScrollBarRoom = 18;
}  // namespace

DiskUsageDiscoverView::DiskUsageDiscoverView(RingPageModel& page, QWidget* parent)
    : QWidget(parent), page_(page), list_(new QVBoxLayout) {
    setAccessibleName(tr("Discover"));
    auto* items = new QWidget;
    items->setLayout(list_);
    list_->setContentsMargins(0, 0, 0, 0);
    list_->setSpacing(0);
    for (std::size_t i = 0; i < titles_.size(); ++i) {
        auto* title = new QLabel(tr(DiscoverModel::title(static_cast<DiscoverModel::List>(i))));
        title->setStyleSheet(
            QStringLiteral("color: #c8c8c8; font-weight: bold; padding: 6px 4px 2px;"));
        titles_[i] = title;
    }
    auto* scroll = PageParts::rowList(items, SelectableItemRow::listRowWidth() + kScrollBarRoom,
                                      tr("Largest, newest and oldest files"), this);
    scroll->setStyleSheet(QStringLiteral("QScrollArea { background: rgb(39, 39, 40); }"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(scroll);

    subscriptions_.push_back(page_.discover().changed.observe([this](const int&) { showLists(); }));
    subscriptions_.push_back(
        page_.selectionChanged.observe([this](const int&) { showSelection(); }));
    showLists();
}

DiskUsageDiscoverView::~DiskUsageDiscoverView() {
    subscriptions_.clear();
}

void DiskUsageDiscoverView::showLists() {
    // The titles stay; the rows are made anew.
    for (auto* row : rows_) {
        row->hide();
        row->deleteLater();
    }
    rows_.clear();
    while (QLayoutItem* item = list_->takeAt(0)) delete item;
    for (std::size_t i = 0; i < titles_.size(); ++i) {
        list_->addWidget(titles_[i]);
        for (const auto& file : page_.discover().rows(static_cast<DiscoverModel::List>(i))) {
            SelectableItemRow::Cells cells{QString(), QString(),
                                           QString::fromStdString(modifiedText(file.modified))};
            auto* row = new SelectableItemRow(file, page_.isSelected(file.path),
                                              SelectableItemRow::Kind::BigSizeFilesList, &cells);
            connect(row, &SelectableItemRow::selectionToggled, this,
                    [this](const DiskUsageItem& chosen, bool selected) {
                        page_.changeSelectArr(chosen, selected);
                    });
            connect(row, &SelectableItemRow::rowClicked, this, [this](const DiskUsageItem& chosen) {
                auto split = splitAbsolutePath(chosen.path);
                if (!split) return;
                // Showing a folder rebuilds the page's rows: after the click has been handled.
                QMetaObject::invokeMethod(
                    this, [this, folder = split->first] { page_.showFolder(folder); },
                    Qt::QueuedConnection);
            });
            connect(row, &SelectableItemRow::menuRequested, this,
                    &DiskUsageDiscoverView::menuRequested);
            list_->addWidget(row);
            rows_.push_back(row);
        }
    }
    list_->addStretch(1);
}

void DiskUsageDiscoverView::showSelection() {
    for (auto* row : rows_) row->setSelected(page_.isSelected(row->item().path));
}

}  // namespace quillby
