// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLabel>

namespace quillby {

// The pages' status line: "%d of %d selected." with both numbers in the figure colour and the
// first one bold, optionally followed by more text. Assistive technology reads it as a status
// line: its accessible name says what it is (its owner names it), its description is the plain
// text it shows, and every change of that text is told to assistive technology.
class RichStatusLine : public QLabel {
    Q_OBJECT
  public:
    explicit RichStatusLine(QWidget* parent = nullptr);

    // The rich text of a selection summary; `more` (plain text) follows after a blank.
    static QString selectionText(int selected, int total, const QString& more = {});
    // The same form with another ending: "<b>3</b> of 5 start at login."
    static QString countText(int first, int total, const QString& ending);

    // Any label used as a status line: shows `text` as plain text and describes it so.
    static void showPlain(QLabel& line, const QString& text);
    // Sets what assistive technology reads as the line's content, telling it of a change.
    static void describe(QLabel& line, const QString& plain);
    // Tells assistive technology what the line says now, as a notice: for the end of a long
    // task, when the user's focus is elsewhere.
    static void announce(QLabel& line);

    void showSelection(int selected, int total, const QString& more = {});
    void showCount(int first, int total, const QString& ending);
    // Plain text (a failure in the alarm colour when `alarm`); `whole` is what assistive
    // technology reads when `message` is a cut form of it.
    void showMessage(const QString& message, bool alarm = false, const QString& whole = {});
};

}  // namespace quillby
