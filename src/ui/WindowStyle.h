// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QPalette>
#include <QString>

class QApplication;
class QWidget;

namespace quillby {

// The one look of the whole window: the pages' dark backdrop carried into the toolbar, lists,
// tables, headers, dialogs and sheets. Every colour a page uses comes from here, and sizes are
// in points or font-relative units so that larger fonts and QT_SCALE_FACTOR grow them.
namespace WindowStyle {

// The backdrop's top and bottom colours (pages draw it as a gradient).
QColor backdropTop();
QColor backdropBottom();
// Text on the backdrop, and quieter secondary text.
QColor text();
QColor secondaryText();
// Selection and focus.
QColor accent();
// Numbers the status lines stress ("%d of %d selected.").
QColor figure();
// Warnings and failures.
QColor alarm();

// Paints the backdrop's gradient over the whole of `page` (from the page's paintEvent).
void paintBackdrop(QWidget& page);

QPalette palette();
QString styleSheet();
// Gives the application the style, the palette and the style sheet.
void apply(QApplication& application);

}  // namespace WindowStyle

}  // namespace quillby
