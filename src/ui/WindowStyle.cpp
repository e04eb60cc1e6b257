// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/WindowStyle.h"

#include <QApplication>
#include <QPainter>
#include <QStyleFactory>
#include <QWidget>

namespace quillby {

namespace WindowStyle {

QColor backdropTop() {
    return QColor(52, 58, 70);
}
QColor backdropBottom() {
    return QColor(30, 34, 42);
}
QColor text() {
    return QColor(236, 239, 244);
}
QColor secondaryText() {
    return QColor(160, 168, 182);
}
QColor accent() {
    return QColor(45, 127, 211);
}
QColor figure() {
    return QColor(245, 197, 24);
}
QColor alarm() {
    return QColor(232, 72, 60);
}

void paintBackdrop(QWidget& page) {
    QPainter painter(&page);
    QLinearGradient shade(0, 0, 0, page.height());
    shade.setColorAt(0, backdropTop());
    shade.setColorAt(1, backdropBottom());
    painter.fillRect(page.rect(), shade);
}

QPalette palette() {
    QPalette p;
    const QColor window(38, 43, 53), base(43, 49, 60), alternate(50, 57, 70), button(58, 66, 80);
    for (auto group : {QPalette::Active, QPalette::Inactive}) {
        p.setColor(group, QPalette::Window, window);
        p.setColor(group, QPalette::WindowText, text());
        p.setColor(group, QPalette::Base, base);
        p.setColor(group, QPalette::AlternateBase, alternate);
        p.setColor(group, QPalette::Text, text());
        p.setColor(group, QPalette::Button, button);
        p.setColor(group, QPalette::ButtonText, text());
        p.setColor(group, QPalette::BrightText, figure());
        p.setColor(group, QPalette::Highlight, accent());
        p.setColor(group, QPalette::HighlightedText, Qt::white);
        p.setColor(group, QPalette::ToolTipBase, backdropBottom());
        p.setColor(group, QPalette::ToolTipText, text());
        p.setColor(group, QPalette::PlaceholderText, secondaryText());
        p.setColor(group, QPalette::Link, QColor(110, 180, 250));
        p.setColor(group, QPalette::Light, button.lighter(130));
        p.setColor(group, QPalette::Midlight, button.lighter(115));
        p.setColor(group, QPalette::Mid, button.darker(130));
        p.setColor(group, QPalette::Dark, backdropBottom());
        p.setColor(group, QPalette::Shadow, QColor(12, 14, 18));
    }
    p.setColor(QPalette::Inactive, QPalette::Highlight, accent().darker(140));
    const QColor disabled(118, 124, 136);
    p.setColor(QPalette::Disabled, QPalette::Window, window);
    p.setColor(QPalette::Disabled, QPalette::Base, window);
    p.setColor(QPalette::Disabled, QPalette::Button, window);
    p.setColor(QPalette::Disabled, QPalette::WindowText, disabled);
    p.setColor(QPalette::Disabled, QPalette::Text, disabled);
    p.setColor(QPalette::Disabled, QPalette::ButtonText, disabled);
    p.setColor(QPalette::Disabled, QPalette::Highlight, alternate);
    p.setColor(QPalette::Disabled, QPalette::HighlightedText, disabled);
    return p;
}

QString styleSheet() {
    // Only what the palette cannot say: the toolbar's gradient and its checked item, and the
    // tables' headers. Lengths in em follow the font.
    return QStringLiteral(
               "QToolBar { background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 %1, "
               "stop:1 %2); border: none; border-bottom: 1px solid %3; spacing: 0.2em; "
               "padding: 0.15em; }"
               "QToolBar QToolButton { color: %4; border-radius: 0.3em; padding: 0.2em 0.5em; }"
               "QToolBar QToolButton:hover { background: rgba(255, 255, 255, 28); }"
               "QToolBar QToolButton:checked { background: rgba(45, 127, 211, 110); }"
               "QHeaderView::section { background: %2; color: %5; border: none; "
               "border-bottom: 1px solid %3; padding: 0.25em 0.5em; }"
               "QToolTip { color: %4; background: %2; border: 1px solid %6; }")
        .arg(backdropTop().name(), QColor(44, 49, 60).name(), backdropBottom().darker(130).name(),
             text().name(), secondaryText().name(), accent().name());
}

void apply(QApplication& application) {
    if (QStyle* fusion = QStyleFactory::create(QStringLiteral("Fusion"))) {
        application.setStyle(fusion);
    }
    application.setPalette(palette());
    application.setStyleSheet(styleSheet());
}

}  // namespace WindowStyle

}  // namespace quillby
