// SPDX-License-Identifier: GPL-3.0-or-later
#include "duplicates/ui/DuplicateViewPage.h"

#include <QLabel>

namespace quillby {

QLabel* DuplicateViewPage::heading(const QString& text, qreal scale) {
    auto* label = new QLabel(text, this);
    label->setAccessibleName(text);
    QFont font = label->font();
    font.setPointSizeF(font.pointSizeF() * scale);
    font.setBold(true);
    label->setFont(font);
    return label;
}

}  // namespace quillby
