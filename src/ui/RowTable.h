// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QTableView;

namespace quillby {

// The pages' tables of rows (login items, applications): whole rows selected one at a time, no
// editing in place, no grid, alternating row colours, rows as high as their contents and no row
// numbers; their row buttons reach assistive technology (ItemViewAccessible).
namespace RowTable {

void setUp(QTableView& table);

}  // namespace RowTable

}  // namespace quillby
