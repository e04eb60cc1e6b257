// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/RichStatusLine.h"

#include <QAccessible>

#include "ui/WindowStyle.h"

namespace quillby {

RichStatusLine::RichStatusLine(QWidget* parent) : QLabel(parent) {
    setTextFormat(Qt::RichText);
    setWordWrap(true);
    setAccessibleName(tr("Status"));
}

QString RichStatusLine::countText(int first, int total, const QString& ending) {
    QString colour = WindowStyle::figure().name();
    return tr("<span style='color:%1'><b>%2</b></span> of <span style='color:%1'>%3</span> %4")
        .arg(colour)
        .arg(first)
        .arg(total)
        .arg(ending.toHtmlEscaped());
}

QString RichStatusLine::selectionText(int selected, int total, const QString& more) {
    QString text = countText(selected, total, tr("selected."));
    if (!more.isEmpty()) text += QLatin1Char(' ') + more.toHtmlEscaped();
    return text;
}

void RichStatusLine::showPlain(QLabel& line, const QString& text) {
    line.setTextFormat(Qt::PlainText);
    line.setText(text);
    describe(line, text);
}

void RichStatusLine::describe(QLabel& line, const QString& plain) {
    // Setting the description tells assistive technology even when nothing changed: refreshes
    // come often, so only a real change is told.
    if (line.accessibleDescription() != plain) line.setAccessibleDescription(plain);
}

void RichStatusLine::announce(QLabel& line) {
    // Qt has no announcement of its own here; a value change of the line carries its text to
    // the screen reader as a live region's update would.
    QAccessibleValueChangeEvent notice(&line, line.accessibleDescription());
    QAccessible::updateAccessibility(&notice);
}

void RichStatusLine::showSelection(int selected, int total, const QString& more) {
    setText(selectionText(selected, total, more));
    QString plain = tr("%1 of %2 selected.").arg(selected).arg(total);
    describe(*this, more.isEmpty() ? plain : plain + QLatin1Char(' ') + more);
}

void RichStatusLine::showCount(int first, int total, const QString& ending) {
    setText(countText(first, total, ending));
    describe(*this, tr("%1 of %2 %3").arg(first).arg(total).arg(ending));
}

void RichStatusLine::showMessage(const QString& message, bool alarm, const QString& whole) {
    QString colour = alarm ? WindowStyle::alarm().name() : WindowStyle::text().name();
    setText(
        QStringLiteral("<span style='color:%1'>%2</span>").arg(colour, message.toHtmlEscaped()));
    describe(*this, whole.isEmpty() ? message : whole);
}

}  // namespace quillby
