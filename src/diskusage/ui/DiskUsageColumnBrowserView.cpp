// SPDX-License-Identifier: GPL-3.0-or-later
#include "diskusage/ui/DiskUsageColumnBrowserView.h"

#include <QKeyEvent>
#include <QListView>
#include <QMouseEvent>
#include <QScrollBar>
#include <algorithm>

#include "diskusage/FileSystemBrowserModel.h"
#include "ui/ItemViewAccessible.h"

namespace quillby {

DiskUsageColumnBrowserView::DiskUsageColumnBrowserView(QWidget* parent) : QColumnView(parent) {
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setResizeGripsVisible(true);
    // Leaves need no preview; an empty one keeps the columns as they are.
    auto* preview = new QWidget(this);
    preview->setAccessibleName(tr("No preview"));
    setPreviewWidget(preview);
    horizontalScrollBar()->setAccessibleName(tr("Scroll the columns"));
}

std::vector<QAbstractItemView*> DiskUsageColumnBrowserView::visibleColumns() const {
    std::vector<QAbstractItemView*> shown;
    for (const auto& entry : columns_) {
        auto* column = qobject_cast<QAbstractItemView*>(entry.data());
        if (column && !column->isHidden() && column->model() == model()) shown.push_back(column);
    }
    std::sort(shown.begin(), shown.end(), [](QAbstractItemView* a, QAbstractItemView* b) {
        return a->geometry().left() < b->geometry().left();
    });
    return shown;
}

QAbstractItemView* DiskUsageColumnBrowserView::createColumn(const QModelIndex& rootIndex) {
    std::erase_if(columns_, [](const auto& entry) { return entry.isNull(); });
    auto* column = new QListView(viewport());
    column->setUniformItemSizes(true);
    ItemViewAccessible::enableOn(*column);
    initializeColumn(column);
    column->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    column->setRootIndex(rootIndex);
    if (model()->canFetchMore(rootIndex)) model()->fetchMore(rootIndex);
    QString folder = rootIndex.isValid() ? rootIndex.data().toString() : tr("the scanned folder");
    column->setAccessibleName(tr("Items of %1").arg(folder));
    column->verticalScrollBar()->setAccessibleName(tr("Scroll the items of %1").arg(folder));
    column->viewport()->installEventFilter(this);
    column->installEventFilter(this);
    columns_.emplace_back(column);
    return column;
}

QAbstractItemView* DiskUsageColumnBrowserView::columnOf(QObject* watched, bool orList) const {
    for (const auto& entry : columns_) {
        auto* column = qobject_cast<QAbstractItemView*>(entry.data());
        if (column && (column->viewport() == watched || (orList && column == watched))) {
            return column;
        }
    }
    return nullptr;
}

bool DiskUsageColumnBrowserView::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick: {
            QAbstractItemView* column = columnOf(watched, false);
            auto* mouse = static_cast<QMouseEvent*>(event);
            if (!column || mouse->button() != Qt::LeftButton) break;
            QPoint point = mouse->position().toPoint();
            QModelIndex index = column->indexAt(point);
            if (!index.isValid()) break;
            QRect row = column->visualRect(index);
            if (!FileSystemBrowserModel::checkBoxContains(point.x() - row.left(),
                                                          point.y() - row.top())) {
                break;
            }
            // The whole click belongs to the check box: the row is not opened by it.
            if (event->type() == QEvent::MouseButtonPress) emit checkBoxClicked(index);
            return true;
        }
        case QEvent::KeyPress: {
            QAbstractItemView* column = columnOf(watched, true);
            auto* key = static_cast<QKeyEvent*>(event);
            if (!column || watched != column || key->key() != Qt::Key_Space ||
                !column->currentIndex().isValid()) {
                break;
            }
            emit checkBoxClicked(column->currentIndex());
            return true;
        }
        default:
            break;
    }
    return QColumnView::eventFilter(watched, event);
}

}  // namespace quillby
