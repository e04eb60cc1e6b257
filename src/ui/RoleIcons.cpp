// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/RoleIcons.h"

#include <QHash>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QSvgRenderer>
#include <functional>

#include "ui/KitIcons.h"

namespace quillby {

namespace {

using Drawer = std::function<void(QPainter&, const QRectF&)>;

struct Entry {
    QStringList themeNames;
    QSize size;
    Drawer draw;
};

void drawDisk(QPainter& p, const QRectF& r, QColor body, const QString& badge) {
    QRectF box =
        r.adjusted(r.width() * 0.12, r.height() * 0.22, -r.width() * 0.12, -r.height() * 0.22);
    QLinearGradient shade(box.topLeft(), box.bottomLeft());
    shade.setColorAt(0, body.lighter(140));
    shade.setColorAt(1, body.darker(120));
    p.setPen(QPen(body.darker(170), 1));
    p.setBrush(shade);
    p.drawRoundedRect(box, 3, 3);
    p.setBrush(QColor(120, 230, 120));
    p.setPen(Qt::NoPen);
    p.drawEllipse(QPointF(box.right() - box.width() * 0.15, box.bottom() - box.height() * 0.25),
                  box.height() * 0.08, box.height() * 0.08);
    if (!badge.isEmpty()) {
        QFont font = p.font();
        font.setBold(true);
        font.setPixelSize(std::max(6, static_cast<int>(box.height() * 0.45)));
        p.setFont(font);
        p.setPen(Qt::white);
        p.drawText(box.adjusted(3, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter, badge);
    }
}

Drawer disk(QColor body, QString badge) {
    return [body, badge](QPainter& p, const QRectF& r) { drawDisk(p, r, body, badge); };
}

void drawEject(QPainter& p, const QRectF& r, QColor colour) {
    QPainterPath triangle;
    triangle.moveTo(r.center().x(), r.top() + r.height() * 0.1);
    triangle.lineTo(r.right() - r.width() * 0.1, r.top() + r.height() * 0.6);
    triangle.lineTo(r.left() + r.width() * 0.1, r.top() + r.height() * 0.6);
    triangle.closeSubpath();
    p.fillPath(triangle, colour);
    p.fillRect(QRectF(r.left() + r.width() * 0.1, r.top() + r.height() * 0.72, r.width() * 0.8,
                      r.height() * 0.16),
               colour);
}

Drawer eject(QColor colour) {
    return [colour](QPainter& p, const QRectF& r) { drawEject(p, r, colour); };
}

void drawChip(QPainter& p, const QRectF& r, QColor colour) {
    QRectF chip =
        r.adjusted(r.width() * 0.2, r.height() * 0.2, -r.width() * 0.2, -r.height() * 0.2);
    p.setPen(QPen(colour.darker(150), 1));
    for (int i = 0; i < 4; ++i) {
        qreal x = chip.left() + chip.width() * (0.15 + 0.23 * i);
        p.drawLine(QPointF(x, r.top() + 1), QPointF(x, r.bottom() - 1));
        qreal y = chip.top() + chip.height() * (0.15 + 0.23 * i);
        p.drawLine(QPointF(r.left() + 1, y), QPointF(r.right() - 1, y));
    }
    p.setBrush(colour);
    p.drawRoundedRect(chip, 2, 2);
}

Drawer chip(QColor colour) {
    return [colour](QPainter& p, const QRectF& r) { drawChip(p, r, colour); };
}

void drawLens(QPainter& p, const QRectF& r) {
    qreal d = std::min(r.width(), r.height());
    QRectF glass(r.left() + d * 0.12, r.top() + d * 0.12, d * 0.55, d * 0.55);
    p.setPen(QPen(QColor(70, 70, 70), std::max(1.5, d * 0.1), Qt::SolidLine, Qt::RoundCap));
    p.setBrush(QColor(200, 225, 255));
    p.drawEllipse(glass);
    p.drawLine(glass.center() + QPointF(d * 0.2, d * 0.2),
               QPointF(r.right() - d * 0.1, r.bottom() - d * 0.1));
}

void drawBroom(QPainter& p, const QRectF& r, QColor colour) {
    p.setPen(
        QPen(colour.darker(140), std::max(1.5, r.width() * 0.08), Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(r.right() - r.width() * 0.15, r.top() + r.height() * 0.1),
               QPointF(r.center().x(), r.center().y()));
    QPainterPath brush;
    brush.moveTo(r.center().x() - r.width() * 0.05, r.center().y() - r.height() * 0.08);
    brush.lineTo(r.center().x() + r.width() * 0.12, r.center().y() + r.height() * 0.08);
    brush.lineTo(r.left() + r.width() * 0.25, r.bottom() - r.height() * 0.05);
    brush.lineTo(r.left() + r.width() * 0.05, r.bottom() - r.height() * 0.2);
    brush.closeSubpath();
    p.fillPath(brush, colour);
}

Drawer broom(QColor colour) {
    return [colour](QPainter& p, const QRectF& r) { drawBroom(p, r, colour); };
}

void drawPadlock(QPainter& p, const QRectF& r, bool open) {
    QRectF body(r.left() + r.width() * 0.2, r.top() + r.height() * 0.45, r.width() * 0.6,
                r.height() * 0.45);
    p.setPen(QPen(QColor(90, 90, 90), std::max(1.5, r.width() * 0.09)));
    p.setBrush(Qt::NoBrush);
    QRectF shackle(body.left() + body.width() * 0.15, r.top() + r.height() * 0.12,
                   body.width() * 0.7, r.height() * 0.6);
    if (open) shackle.translate(body.width() * 0.35, -r.height() * 0.06);
    p.drawArc(shackle, 0, 180 * 16);
    p.setBrush(open ? QColor(110, 180, 90) : QColor(210, 160, 40));
    p.drawRoundedRect(body, 2, 2);
}

Drawer padlock(bool open) {
    return [open](QPainter& p, const QRectF& r) { drawPadlock(p, r, open); };
}

// A backdrop: a quiet vertical gradient.
Drawer backdrop(QColor top, QColor bottom) {
    return [top, bottom](QPainter& p, const QRectF& r) {
        QLinearGradient shade(r.topLeft(), r.bottomLeft());
        shade.setColorAt(0, top);
        shade.setColorAt(1, bottom);
        p.fillRect(r, shade);
    };
}

// A round badge with a letter or two, for the facts table and the toolbar.
Drawer badge(QColor colour, QString text) {
    return [colour, text](QPainter& p, const QRectF& r) {
        QRectF circle = r.adjusted(1, 1, -1, -1);
        p.setPen(Qt::NoPen);
        p.setBrush(colour);
        p.drawEllipse(circle);
        QFont font = p.font();
        font.setBold(true);
        font.setPixelSize(std::max(6, static_cast<int>(circle.height() * 0.42)));
        p.setFont(font);
        p.setPen(Qt::white);
        p.drawText(circle, Qt::AlignCenter, text);
    };
}

// A picture of our own shipped with the program (resources/icons/toolbar), drawn at any size.
Drawer bundled(QString file) {
    return [file](QPainter& p, const QRectF& r) {
        QSvgRenderer(QStringLiteral(":/icons/toolbar/") + file).render(&p, r);
    };
}

const QHash<QString, Entry>& table() {
    static const QHash<QString, Entry> entries = {
        {"disk_ico.png", {{"drive-harddisk"}, {22, 22}, disk(QColor(150, 150, 160), "")}},
        {"disk_mac.png",
         {{"drive-harddisk-system", "drive-harddisk"}, {40, 40}, disk(QColor(90, 110, 140), "/")}},
        {"disk_ico_1.png", {{"drive-harddisk"}, {40, 40}, disk(QColor(140, 140, 150), "")}},
        {"disk_ico_5.png",
         {{"drive-removable-media-usb", "drive-removable-media"},
          {40, 40},
          disk(QColor(230, 140, 40), "U")}},
        {"disk_ico_3.png",
         {{"drive-optical", "media-optical"}, {40, 40}, disk(QColor(170, 170, 200), "O")}},
        {"disk_ico_4.png",
         {{"folder-remote", "network-server"}, {40, 40}, disk(QColor(60, 130, 200), "N")}},
        {"disk_ico_2.png",
         {{"application-x-cd-image", "media-flash"}, {40, 40}, disk(QColor(120, 160, 120), "I")}},
        {"freememory.png", {{"media-memory", "memory"}, {40, 40}, chip(QColor(60, 170, 90))}},
        {"clean_memory.png", {{"edit-clear"}, {13, 14}, broom(QColor(200, 140, 40))}},
        {"clean_memory_button.png",
         {{"edit-clear-all", "edit-clear"}, {32, 32}, broom(QColor(200, 140, 40))}},
        {"cleaning.png",
         {{"process-working", "view-refresh"}, {32, 32}, broom(QColor(120, 120, 120))}},
        {"hover.png", {{"media-eject"}, {13, 14}, eject(QColor(90, 90, 90))}},
        {"highthover.png", {{"media-eject"}, {13, 14}, eject(Qt::white)}},
        {"tc.png", {{"media-eject"}, {24, 24}, eject(QColor(235, 235, 235))}},
        {"tc_hover.png", {{"media-eject"}, {24, 24}, eject(QColor(120, 200, 255))}},
        {"search.png", {{"system-search", "edit-find"}, {24, 24}, drawLens}},
        {"Lock.png", {{"changes-prevent", "object-locked"}, {24, 24}, padlock(false)}},
        {"Unlock.png", {{"changes-allow", "object-unlocked"}, {24, 24}, padlock(true)}},
        {"right.png", {{}, {701, 475}, backdrop(QColor(52, 58, 70), QColor(30, 34, 42))}},
        {"memory_bg.png", {{}, {600, 325}, backdrop(QColor(52, 58, 70), QColor(30, 34, 42))}},
        {"table_center_bg.png", {{}, {704, 475}, backdrop(QColor(52, 58, 70), QColor(30, 34, 42))}},
        {"mymac_cellbg.png", {{}, {600, 36}, backdrop(QColor(70, 78, 92), QColor(50, 56, 68))}},
        {"model_identifier.png", {{"computer"}, {24, 24}, badge(QColor(90, 110, 140), "M")}},
        {"cpu_vendor.png", {{"cpu"}, {24, 24}, badge(QColor(60, 130, 200), "V")}},
        {"cpu_brand.png", {{"cpu"}, {24, 24}, badge(QColor(60, 150, 170), "C")}},
        {"memory.png", {{"media-memory"}, {24, 24}, badge(QColor(60, 170, 90), "R")}},
        {"os_type.png", {{"system-run"}, {24, 24}, badge(QColor(200, 140, 40), "OS")}},
        {"os_rdease.png",
         {{"system-software-update"}, {24, 24}, badge(QColor(170, 100, 180), "V")}},
        {"hostname.png", {{"network-workgroup"}, {24, 24}, badge(QColor(120, 120, 130), "H")}},
        // The toolbar: the desktop's own icons first, ours in the same flat style otherwise.
        {"Scan", {{"edit-clear-all", "edit-clear"}, {32, 32}, bundled("clean.svg")}},
        {"duplicates_file", {{"edit-copy"}, {32, 32}, bundled("duplicates.svg")}},
        {"disk_usage", {{"baobab", "drive-harddisk"}, {32, 32}, bundled("disk-usage.svg")}},
        {"memory", {{"media-flash", "media-memory"}, {32, 32}, bundled("memory.svg")}},
        {"login_items", {{"system-run"}, {32, 32}, bundled("login-items.svg")}},
        {"preferences",
         {{"preferences-system", "configure"}, {32, 32}, bundled("preferences.svg")}},
        {"Help", {{"help-browser", "help-contents"}, {32, 32}, bundled("help.svg")}},
    };
    return entries;
}

}  // namespace

namespace RoleIcons {

Role roleOf(const QString& name) {
    auto it = table().find(name);
    if (it == table().end()) return KitIcons::roleOf(name);
    return {it->themeNames, it->size};
}

QImage fallback(const QString& name) {
    auto it = table().find(name);
    if (it == table().end()) return KitIcons::fallback(name);
    QImage image(it->size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    it->draw(painter, QRectF(QPointF(0, 0), QSizeF(it->size)));
    return image;
}

}  // namespace RoleIcons

}  // namespace quillby
