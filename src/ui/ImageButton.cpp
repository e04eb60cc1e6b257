// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/ImageButton.h"

#include <QToolButton>

#include "ui/ImageProvider.h"
#include "ui/ItemViewAccessible.h"

namespace quillby {

QToolButton* imageButton(const QString& image, const QString& tip, const QString& name) {
    auto* button = new QToolButton;
    button->setIcon(ImageProvider::shared().icon(image));
    button->setAutoRaise(true);
    button->setToolTip(tip);
    button->setAccessibleName(name);
    return button;
}

QToolButton* tableRowButton(const QString& image, const QString& tip, const QString& name) {
    ItemViewAccessible::enableOnTables();
    QToolButton* button = imageButton(image, tip, name);
    button->setFocusPolicy(Qt::NoFocus);
    return button;
}

}  // namespace quillby
