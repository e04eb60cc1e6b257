// SPDX-License-Identifier: GPL-3.0-or-later
#include "diskusage/ui/PageParts.h"

#include <QLabel>
#include <QPushButton>
#include <QScrollArea>

#include "ui/WorkRunner.h"

namespace quillby {

namespace PageParts {

QLabel* pageTitle(const QString& text, QWidget* parent) {
    auto* title = new QLabel(text, parent);
    QFont font = title->font();
    font.setBold(true);
    font.setPointSizeF(font.pointSizeF() * 1.3);
    title->setFont(font);
    return title;
}

QScrollArea* rowList(QWidget* rows, int width, const QString& accessibleName, QWidget* parent) {
    auto* scroll = new QScrollArea(parent);
    scroll->setWidget(rows);
    scroll->setWidgetResizable(true);
    scroll->setFixedWidth(width);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    scroll->setAccessibleName(accessibleName);
    return scroll;
}

QPushButton* stopButton(WorkRunner& work, QWidget* parent) {
    auto* stop = new QPushButton(QObject::tr("Stop"), parent);
    stop->setToolTip(QObject::tr("Stop removing"));
    stop->setAccessibleName(QObject::tr("Stop removing"));
    stop->hide();
    QObject::connect(stop, &QPushButton::clicked, &work, [stop, &work] {
        work.stop();
        stop->setEnabled(false);
    });
    QObject::connect(&work, &WorkRunner::busyChanged, stop, [stop](bool busy) {
        stop->setEnabled(true);
        stop->setVisible(busy);
    });
    return stop;
}

}  // namespace PageParts

}  // namespace quillby
