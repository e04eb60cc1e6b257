// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/RowTable.h"

#include <QHeaderView>
#include <QTableView>

#include "ui/ItemViewAccessible.h"

namespace quillby {

void RowTable::setUp(QTableView& table) {
    ItemViewAccessible::enableOn(table);
    table.setSelectionBehavior(QAbstractItemView::SelectRows);
    table.setSelectionMode(QAbstractItemView::SingleSelection);
    table.setEditTriggers(QAbstractItemView::NoEditTriggers);
    table.setShowGrid(false);
    table.setAlternatingRowColors(true);
    table.setWordWrap(false);
    table.verticalHeader()->hide();
    table.verticalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    table.horizontalHeader()->setHighlightSections(false);
    table.horizontalHeader()->setAccessibleName(QObject::tr("Columns"));
}

}  // namespace quillby
