// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLabel>

namespace quillby {

// The pages' status line: "%d of %d selected." with both numbers in the figure colour and the
// first one bold, optionally followed by more text. Assistive technology reads the plain text.
class RichStatusLine : public QLabel {
    Q_OBJECT
  public:
    explicit RichStatusLine(QWidget* parent = nullptr);

    // The rich text of a selection summary; `more` (plain text) follows after a blank.
    static QString selectionText(int selected, int total, const QString& more = {});
    // The same form with another ending: "<b>3</b> of 5 start at login."
    static QString countText(int first, int total, const QString& ending);

    void showSelection(int selected, int total, const QString& more = {});
    void showCount(int first, int total, const QString& ending);
    // Plain text (a failure in the alarm colour when `alarm`).
    void showMessage(const QString& message, bool alarm = false);
};

}  // namespace quillby
