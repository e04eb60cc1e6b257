// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/ThreeStateCheckDelegate.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include "ui/ImageProvider.h"

namespace quillby {

Qt::CheckState ThreeStateCheckDelegate::checkStateFor(int selection) {
    switch (selection) {
        case 1:
            return Qt::Checked;
        case 2:
            return Qt::PartiallyChecked;
        default:
            return Qt::Unchecked;
    }
}

int ThreeStateCheckDelegate::selectionFor(Qt::CheckState state) {
    switch (state) {
        case Qt::Checked:
            return 1;
        case Qt::PartiallyChecked:
            return 2;
        case Qt::Unchecked:
            break;
    }
    return 0;
}

QString ThreeStateCheckDelegate::imageFor(int selection) {
    switch (selection) {
        case 1:
            return QStringLiteral("option_yes.png");
        case 2:
            return QStringLiteral("option_a.png");
        default:
            return QStringLiteral("option_no.png");
    }
}

int ThreeStateCheckDelegate::selectionAfterClick(int selection) {
    return selection == 1 ? 0 : 1;
}

void ThreeStateCheckDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                                    const QModelIndex& index) const {
    // Only the cell's backdrop comes from the style; the box itself is the program's image.
    QStyleOptionViewItem backdrop = option;
    initStyleOption(&backdrop, index);
    const QWidget* widget = option.widget;
    QStyle* style = widget ? widget->style() : QApplication::style();
    style->drawPrimitive(QStyle::PE_PanelItemViewItem, &backdrop, painter, widget);
    auto state = static_cast<Qt::CheckState>(index.data(Qt::CheckStateRole).toInt());
    QImage image = ImageProvider::shared().image(imageFor(selectionFor(state)));
    if (image.isNull()) return;
    QRect box(QPoint(0, 0), image.size());
    box.moveCenter(option.rect.center());
    painter->drawImage(box, image);
}

QSize ThreeStateCheckDelegate::sizeHint(const QStyleOptionViewItem& option,
                                        const QModelIndex& index) const {
    QSize image = ImageProvider::shared().image(imageFor(0)).size();
    return QStyledItemDelegate::sizeHint(option, index).expandedTo(image + QSize(8, 8));
}

bool ThreeStateCheckDelegate::editorEvent(QEvent* event, QAbstractItemModel* model,
                                          const QStyleOptionViewItem& option,
                                          const QModelIndex& index) {
    if (!(index.flags() & Qt::ItemIsUserCheckable) || !(index.flags() & Qt::ItemIsEnabled)) {
        return false;
    }
    if (event->type() == QEvent::MouseButtonRelease) {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() != Qt::LeftButton || !option.rect.contains(mouse->position().toPoint()))
            return false;
    } else if (event->type() == QEvent::MouseButtonDblClick ||
               event->type() == QEvent::MouseButtonPress) {
        return true;  // only the release toggles, once
    } else if (event->type() == QEvent::KeyPress) {
        auto key = static_cast<QKeyEvent*>(event)->key();
        if (key != Qt::Key_Space && key != Qt::Key_Select) return false;
    } else {
        return false;
    }
    auto state = static_cast<Qt::CheckState>(index.data(Qt::CheckStateRole).toInt());
    int next = selectionAfterClick(selectionFor(state));
    return model->setData(index, checkStateFor(next), Qt::CheckStateRole);
}

}  // namespace quillby
