// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/PaintText.h"

namespace quillby {

void drawElidedText(QPainter& painter, const QRect& box, Qt::Alignment alignment,
                    const QString& text) {
    painter.drawText(box, alignment,
                     painter.fontMetrics().elidedText(text, Qt::ElideRight, box.width()));
}

QFont boldFont(QFont base, int pointSize) {
    base.setBold(true);
    base.setPointSize(pointSize);
    return base;
}

}  // namespace quillby
