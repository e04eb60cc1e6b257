// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QAbstractItemView;

namespace quillby {

// Item views whose check boxes have three states. Qt's item views tell assistive technology a
// partly checked item is not checked; on these views such an item reads as partly checked
// (indeterminate, in AT-SPI's words), and checkable and checked items read as before.
class ThreeStateItems {
  public:
    // Call it on a new view, before anything reads its accessibility (naming it does).
    static void enableOn(QAbstractItemView& view);
};

}  // namespace quillby
