// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPainter>
#include <QString>

namespace quillby {

// Draws one line of text in `box` with the painter's font and pen, cut at the end with an
// ellipsis when it does not fit, the way every row and tile shows names.
void drawElidedText(QPainter& painter, const QRect& box, Qt::Alignment alignment,
                    const QString& text);

// A bold variant of `base` at `pointSize`.
QFont boldFont(QFont base, int pointSize);

}  // namespace quillby
