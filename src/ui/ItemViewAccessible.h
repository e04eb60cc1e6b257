// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QAbstractItemView;

namespace quillby {

// Item views as assistive technology reads them: Qt's own interface, with two things Qt leaves
// out. A widget placed in a cell (a row's buttons) is that cell's child, with its name and
// actions; and a partly checked item reads as partly checked (indeterminate, in AT-SPI's words),
// where Qt says it is not checked. Everything else reads as Qt reads it.
namespace ItemViewAccessible {

// Every table view of the program (the pages' row tables). Idempotent.
void enableOnTables();
// One more item view (a list, a column view's columns). Call it on a new view, before anything
// reads its accessibility: naming it does.
void enableOn(QAbstractItemView& view);

}  // namespace ItemViewAccessible

}  // namespace quillby
