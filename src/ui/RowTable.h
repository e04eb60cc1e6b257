// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QTableView;

namespace quillby {

// The pages' tables of rows (login items, applications): whole rows selected one at a time, no
// editing in place, no grid, alternating row colours, rows as high as their contents and no row
// numbers.
namespace RowTable {

void setUp(QTableView& table);

// Qt's accessible table lists its cells with no children, so a widget placed in a cell (a row's
// buttons) is out of reach of assistive technology. Once this ran, every table view's cell that
// holds a widget has that widget as its child, with the widget's name and actions; the rest of
// the table reads as before. Idempotent; setUp and the row buttons call it.
void enableAccessibility();

}  // namespace RowTable

}  // namespace quillby
