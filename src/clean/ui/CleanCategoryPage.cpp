// SPDX-License-Identifier: GPL-3.0-or-later
#include "clean/ui/CleanCategoryPage.h"

#include <QCheckBox>
#include <QHeaderView>
#include <QLabel>
#include <QTableView>
#include <QToolButton>
#include <QVBoxLayout>

#include "clean/CleanCategory.h"
#include "clean/SystemCleanModel.h"
#include "clean/ui/CleanItemNameDelegate.h"
#include "clean/ui/CleanItemsTableModel.h"
#include "core/fs/FolderUtilities.h"
#include "platform/FileViewer.h"
#include "ui/ImageProvider.h"
#include "ui/WorkRunner.h"

namespace quillby {

CleanCategoryPage::CleanCategoryPage(SystemCleanModel& model, int category,
                                     std::shared_ptr<FileViewer> viewer, QWidget* parent)
    : QWidget(parent),
      model_(model),
      category_(category),
      viewer_(std::move(viewer)),
      items_(new CleanItemsTableModel(this)),
      table_(new QTableView),
      selectAll_(new QCheckBox(tr("Select all"))),
      failure_(new QLabel),
      work_(new WorkRunner(this)) {
    QString title = QString::fromStdString(std::string(cleanCategories()[category].title));
    setAccessibleName(tr("%1 items").arg(title));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 6, 8, 0);
    selectAll_->setAccessibleName(tr("Select all of %1").arg(title));
    layout->addWidget(selectAll_);
    table_->setModel(items_);
    table_->setItemDelegateForColumn(CleanItemsTableModel::NameColumn,
                                     new CleanItemNameDelegate(table_));
    table_->setAccessibleName(tr("%1 review list").arg(title));
    table_->verticalHeader()->hide();
    table_->verticalHeader()->setDefaultSectionSize(40);  // the name and the path below it
    table_->setSelectionMode(QAbstractItemView::NoSelection);
    table_->setWordWrap(false);
    table_->setShowGrid(false);
    auto* header = table_->horizontalHeader();
    header->setSectionResizeMode(CleanItemsTableModel::NameColumn, QHeaderView::Stretch);
    header->setSectionResizeMode(CleanItemsTableModel::CheckColumn, QHeaderView::ResizeToContents);
    header->setSectionResizeMode(CleanItemsTableModel::SizeColumn, QHeaderView::ResizeToContents);
    header->setSectionResizeMode(CleanItemsTableModel::RevealColumn, QHeaderView::Fixed);
    header->resizeSection(CleanItemsTableModel::RevealColumn, 36);
    header->setSectionsClickable(true);
    layout->addWidget(table_);
    failure_->setWordWrap(true);
    failure_->setAccessibleName(tr("Items of %1 left behind").arg(title));
    failure_->hide();
    layout->addWidget(failure_);

    items_->toggle = [this](int row) { model_.toggleItem(category_, row); };
    connect(selectAll_, &QCheckBox::clicked, this,
            [this](bool on) { model_.setAllItems(category_, on); });
    connect(header, &QHeaderView::sectionClicked, this, &CleanCategoryPage::sortBy);
    connect(table_, &QTableView::clicked, this, [this](const QModelIndex& index) {
        if (index.column() != CleanItemsTableModel::NameColumn &&
            index.column() != CleanItemsTableModel::SizeColumn) {
            return;
        }
        model_.list(category_).selectRow(index.row());
        items_->setHighlightedRow(index.row());
        table_->viewport()->update();
    });
    connect(items_, &QAbstractItemModel::modelReset, this, &CleanCategoryPage::buildRevealButtons);
    refresh();
}

void CleanCategoryPage::refresh() {
    const ScanViewController& list = model_.list(category_);
    bool busy = model_.categoryBusy(category_);
    items_->setCheckable(!busy);
    items_->setHighlightedRow(list.selectRowNum);
    items_->setItems(list.scanFiles.get());
    selectAll_->setEnabled(!busy && !items_->items().empty());
    selectAll_->setChecked(list.selectAllOn);
    QStringList left;
    for (const auto& failure : model_.failures()) {
        if (failure.category != category_) continue;
        left << tr("%1 (%2)").arg(QString::fromStdString(failure.path),
                                  QString::fromStdString(failure.reason));
    }
    failure_->setVisible(!left.isEmpty());
    failure_->setText(tr("Left behind: %1").arg(left.join(QStringLiteral("; "))));
}

void CleanCategoryPage::sortBy(int column) {
    if (column != CleanItemsTableModel::NameColumn && column != CleanItemsTableModel::SizeColumn) {
        return;
    }
    ascending_ = column == sortColumn_ ? !ascending_ : true;
    sortColumn_ = column;
    table_->horizontalHeader()->setSortIndicatorShown(true);
    table_->horizontalHeader()->setSortIndicator(
        column, ascending_ ? Qt::AscendingOrder : Qt::DescendingOrder);
    model_.list(category_).sortScanFiles(
        column == CleanItemsTableModel::NameColumn ? "Name" : "Size", ascending_);
    refresh();
}

void CleanCategoryPage::buildRevealButtons() {
    for (int row = 0; row < items_->rowCount(); ++row) {
        const CleanFileInfo& item = items_->items()[static_cast<std::size_t>(row)];
        // A package tool's item has no folder of its own to show.
        if (item.toolIndex >= 0) continue;
        QString name = QString::fromStdString(item.name);
        auto* button = new QToolButton;
        button->setIcon(ImageProvider::shared().icon(QStringLiteral("search_file.png")));
        button->setAutoRaise(true);
        button->setToolTip(tr("Show in its folder"));
        button->setAccessibleName(tr("Show %1 in its folder").arg(name));
        connect(button, &QToolButton::clicked, this, [this, row] { reveal(row); });
        table_->setIndexWidget(items_->index(row, CleanItemsTableModel::RevealColumn), button);
    }
}

void CleanCategoryPage::reveal(int row) {
    if (row < 0 || row >= items_->rowCount()) return;
    std::string path = items_->items()[static_cast<std::size_t>(row)].path;
    auto viewer = viewer_;
    // Finding the folder looks at the disk and the file manager may take seconds: a worker.
    work_->run<bool>(
        [viewer, path] {
            return viewer && viewer->openFolder(FolderUtilities::getFolderFromFile(path).string());
        },
        [this, path](bool shown) {
            if (!shown) {
                failure_->setText(
                    tr("\"%1\" could not be shown.").arg(QString::fromStdString(path)));
                failure_->show();
            }
        });
}

}  // namespace quillby
