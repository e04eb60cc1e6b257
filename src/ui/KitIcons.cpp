// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/KitIcons.h"

#include <QHash>
#include <QPainter>
#include <QPainterPath>
#include <QRegularExpression>
#include <cmath>
#include <functional>

#include "ui/WindowStyle.h"

namespace quillby {

namespace {

using Paint = std::function<void(QPainter&, const QRectF&)>;

struct Icon {
    QStringList themeNames;
    QSize size;
    Paint paint;
};

enum class Glyph { None, Check, Dash, Plus, Minus, Cross };

void drawGlyph(QPainter& p, const QRectF& r, Glyph glyph, QColor colour) {
    qreal w = r.width();
    p.setPen(QPen(colour, std::max(1.5, w * 0.14), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    QPointF c = r.center();
    qreal a = w * 0.26;
    switch (glyph) {
        case Glyph::Check: {
            QPainterPath tick;
            tick.moveTo(c.x() - a, c.y());
            tick.lineTo(c.x() - a * 0.25, c.y() + a * 0.75);
            tick.lineTo(c.x() + a, c.y() - a * 0.7);
            p.drawPath(tick);
            break;
        }
        case Glyph::Plus:
            p.drawLine(QPointF(c.x(), c.y() - a), QPointF(c.x(), c.y() + a));
            [[fallthrough]];
        case Glyph::Dash:
        case Glyph::Minus:
            p.drawLine(QPointF(c.x() - a, c.y()), QPointF(c.x() + a, c.y()));
            break;
        case Glyph::Cross:
            p.drawLine(c + QPointF(-a, -a), c + QPointF(a, a));
            p.drawLine(c + QPointF(-a, a), c + QPointF(a, -a));
            break;
        case Glyph::None:
            break;
    }
}

// A check box face: a rounded square, filled with the accent when it holds a mark.
Paint checkBox(Glyph glyph) {
    return [glyph](QPainter& p, const QRectF& r) {
        QRectF box = r.adjusted(1.5, 1.5, -1.5, -1.5);
        bool marked = glyph != Glyph::None;
        p.setPen(
            QPen(marked ? WindowStyle::accent().lighter(120) : WindowStyle::secondaryText(), 1.2));
        p.setBrush(marked ? WindowStyle::accent() : QColor(30, 34, 42));
        p.drawRoundedRect(box, r.width() * 0.2, r.width() * 0.2);
        drawGlyph(p, box, glyph, Qt::white);
    };
}

// A round button face with a glyph.
Paint roundButton(QColor colour, Glyph glyph) {
    return [colour, glyph](QPainter& p, const QRectF& r) {
        p.setPen(Qt::NoPen);
        p.setBrush(colour);
        p.drawEllipse(r.adjusted(1, 1, -1, -1));
        drawGlyph(
            p, r.adjusted(r.width() * 0.1, r.height() * 0.1, -r.width() * 0.1, -r.height() * 0.1),
            glyph, Qt::white);
    };
}

Paint folder(QColor colour) {
    return [colour](QPainter& p, const QRectF& r) {
        QRectF back(r.left() + r.width() * 0.08, r.top() + r.height() * 0.22, r.width() * 0.84,
                    r.height() * 0.62);
        QPainterPath shape;
        shape.moveTo(back.left(), back.top());
        shape.lineTo(back.left() + back.width() * 0.38, back.top());
        shape.lineTo(back.left() + back.width() * 0.48, back.top() + back.height() * 0.14);
        shape.lineTo(back.right(), back.top() + back.height() * 0.14);
        shape.lineTo(back.right(), back.bottom());
        shape.lineTo(back.left(), back.bottom());
        shape.closeSubpath();
        p.setPen(QPen(colour.darker(150), 1));
        p.setBrush(colour);
        p.drawPath(shape);
    };
}

Paint page(QColor colour) {
    return [colour](QPainter& p, const QRectF& r) {
        QRectF sheet(r.left() + r.width() * 0.2, r.top() + r.height() * 0.08, r.width() * 0.6,
                     r.height() * 0.84);
        qreal fold = sheet.width() * 0.3;
        QPainterPath shape;
        shape.moveTo(sheet.topLeft());
        shape.lineTo(sheet.right() - fold, sheet.top());
        shape.lineTo(sheet.right(), sheet.top() + fold);
        shape.lineTo(sheet.bottomRight());
        shape.lineTo(sheet.bottomLeft());
        shape.closeSubpath();
        p.setPen(QPen(colour.darker(160), 1));
        p.setBrush(colour);
        p.drawPath(shape);
    };
}

Paint magnifier(QColor colour) {
    return [colour](QPainter& p, const QRectF& r) {
        qreal d = std::min(r.width(), r.height());
        QRectF glass(r.left() + d * 0.12, r.top() + d * 0.12, d * 0.52, d * 0.52);
        p.setPen(QPen(colour, std::max(1.5, d * 0.11), Qt::SolidLine, Qt::RoundCap));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(glass);
        p.drawLine(glass.center() + QPointF(d * 0.19, d * 0.19),
                   QPointF(r.right() - d * 0.12, r.bottom() - d * 0.12));
    };
}

// A box with an arrow leaving it: "open".
Paint openArrow(QColor colour) {
    return [colour](QPainter& p, const QRectF& r) {
        qreal d = r.width();
        p.setPen(QPen(colour, std::max(1.5, d * 0.1), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(Qt::NoBrush);
        p.drawRoundedRect(QRectF(r.left() + d * 0.14, r.top() + d * 0.3, d * 0.56, d * 0.56), 2, 2);
        QPointF tip(r.right() - d * 0.12, r.top() + d * 0.12);
        p.drawLine(QPointF(r.left() + d * 0.45, r.top() + d * 0.55), tip);
        p.drawLine(tip, tip + QPointF(-d * 0.3, 0));
        p.drawLine(tip, tip + QPointF(0, d * 0.3));
    };
}

Paint trash(QColor colour) {
    return [colour](QPainter& p, const QRectF& r) {
        qreal d = r.width();
        p.setPen(QPen(colour.darker(150), 1));
        p.setBrush(colour);
        p.drawRect(QRectF(r.left() + d * 0.18, r.top() + d * 0.2, d * 0.64, d * 0.08));
        QPainterPath can;
        can.moveTo(r.left() + d * 0.25, r.top() + d * 0.32);
        can.lineTo(r.right() - d * 0.25, r.top() + d * 0.32);
        can.lineTo(r.right() - d * 0.3, r.bottom() - d * 0.1);
        can.lineTo(r.left() + d * 0.3, r.bottom() - d * 0.1);
        can.closeSubpath();
        p.drawPath(can);
    };
}

// A round badge with a short text (groups and file categories).
Paint label(QColor colour, QString text) {
    return [colour, text](QPainter& p, const QRectF& r) {
        QRectF face = r.adjusted(1, 1, -1, -1);
        p.setPen(Qt::NoPen);
        p.setBrush(colour);
        p.drawRoundedRect(face, r.width() * 0.22, r.width() * 0.22);
        QFont font = p.font();
        font.setBold(true);
        font.setPixelSize(
            std::max(6, static_cast<int>(face.height() * (text.size() > 2 ? 0.3 : 0.42))));
        p.setFont(font);
        p.setPen(Qt::white);
        p.drawText(face, Qt::AlignCenter, text);
    };
}

// A list row's backdrop.
Paint rowBackdrop(QColor top, QColor bottom) {
    return [top, bottom](QPainter& p, const QRectF& r) {
        QLinearGradient shade(r.topLeft(), r.bottomLeft());
        shade.setColorAt(0, top);
        shade.setColorAt(1, bottom);
        p.fillRect(r, shade);
        p.fillRect(QRectF(r.left(), r.bottom() - 1, r.width(), 1), QColor(20, 23, 29));
    };
}

// One frame of the busy spinner: twelve spokes, the one at `frame` brightest.
Paint spinner(int frame) {
    return [frame](QPainter& p, const QRectF& r) {
        QPointF c = r.center();
        qreal outer = r.width() * 0.46, inner = r.width() * 0.24;
        for (int spoke = 0; spoke < 12; ++spoke) {
            int age = (frame - 1 - spoke + 12) % 12;
            QColor colour = WindowStyle::text();
            colour.setAlphaF(1.0 - age * 0.07);
            p.setPen(QPen(colour, std::max(1.5, r.width() * 0.08), Qt::SolidLine, Qt::RoundCap));
            qreal angle = spoke * M_PI / 6 - M_PI / 2;
            QPointF direction(std::cos(angle), std::sin(angle));
            p.drawLine(c + direction * inner, c + direction * outer);
        }
    };
}

const QHash<QString, Icon>& table() {
    const QColor accent = WindowStyle::accent(), grey(110, 116, 128), red(205, 60, 50),
                 green(70, 165, 90), light = WindowStyle::text();
    static const QHash<QString, Icon> icons = {
        {"option_no.png", {{}, {16, 16}, checkBox(Glyph::None)}},
        {"option_yes.png", {{}, {16, 16}, checkBox(Glyph::Check)}},
        {"option_a.png", {{}, {16, 16}, checkBox(Glyph::Dash)}},
        {"remove.png", {{"list-remove"}, {20, 20}, roundButton(red, Glyph::Cross)}},
        {"remove_d.png", {{}, {20, 20}, roundButton(grey, Glyph::Cross)}},
        {"Folder_yes.png", {{"folder"}, {16, 16}, folder(QColor(225, 175, 60))}},
        {"Folder_no.png", {{}, {16, 16}, folder(grey)}},
        {"File_yes.png", {{"text-x-generic"}, {16, 16}, page(QColor(235, 238, 244))}},
        {"File_no.png", {{}, {16, 16}, page(grey)}},
        {"item_folder.png", {{"folder"}, {30, 30}, folder(QColor(225, 175, 60))}},
        {"item_file.png", {{"text-x-generic"}, {30, 30}, page(QColor(235, 238, 244))}},
        {"list_1.png", {{}, {600, 34}, rowBackdrop(QColor(50, 57, 70), QColor(43, 49, 60))}},
        {"list_hover.png", {{}, {600, 36}, rowBackdrop(accent, accent.darker(130))}},
        {"search_file.png", {{"system-search", "edit-find"}, {20, 20}, magnifier(light)}},
        {"open.png", {{"document-open"}, {20, 20}, openArrow(light)}},
        {"add.png", {{"list-add"}, {20, 20}, roundButton(green, Glyph::Plus)}},
        {"delete_loginitem.png",
         {{"list-remove", "edit-delete"}, {20, 20}, roundButton(red, Glyph::Minus)}},
        {"uninstallButton.png", {{"edit-delete", "user-trash"}, {24, 24}, trash(red)}},
        {"uninstall_d.png", {{}, {24, 24}, trash(grey)}},
        {"uninstall_all.png", {{"applications-all"}, {32, 32}, label(accent, "All")}},
        {"uninstall_system.png",
         {{"applications-system"}, {32, 32}, label(QColor(150, 100, 180), "S")}},
        {"uninstall_app.png", {{"applications-other"}, {32, 32}, label(green, "A")}},
        {"all.png", {{"folder"}, {32, 32}, label(accent, "All")}},
        {"document.png", {{"x-office-document"}, {32, 32}, label(QColor(70, 120, 200), "Doc")}},
        {"television.png", {{"video-x-generic"}, {32, 32}, label(QColor(200, 80, 80), "TV")}},
        {"music.png", {{"audio-x-generic"}, {32, 32}, label(QColor(190, 90, 170), "♪")}},
        {"zip.png", {{"package-x-generic"}, {32, 32}, label(QColor(180, 140, 60), "Zip")}},
        {"picture.png", {{"image-x-generic"}, {32, 32}, label(QColor(60, 160, 150), "Pic")}},
        {"other.png", {{"text-x-generic"}, {32, 32}, label(grey, "...")}},
        {"home_disk.png", {{"user-home"}, {40, 40}, label(QColor(90, 110, 140), "~")}},
        {"scan_b_normal.png", {{}, {96, 96}, roundButton(accent, Glyph::None)}},
        {"scan_b_d.png", {{}, {96, 96}, roundButton(grey, Glyph::None)}},
        {"cancle.png",
         {{"process-stop", "dialog-cancel"}, {20, 20}, roundButton(red, Glyph::Cross)}},
        {"OK.png", {{"dialog-ok"}, {20, 20}, roundButton(green, Glyph::Check)}},
    };
    return icons;
}

const QRegularExpression kSpinnerFrame(QStringLiteral("^loading_(\\d{1,2})\\.png$"));

// The spinner frame a name stands for (1 ... 12), or 0.
int spinnerFrame(const QString& name) {
    auto match = kSpinnerFrame.match(name);
    int frame = match.hasMatch() ? match.captured(1).toInt() : 0;
    return frame >= 1 && frame <= 12 ? frame : 0;
}

}  // namespace

namespace KitIcons {

RoleIcons::Role roleOf(const QString& name) {
    if (spinnerFrame(name)) return {{}, {24, 24}};
    auto it = table().find(name);
    if (it == table().end()) return {};
    return {it->themeNames, it->size};
}

QImage fallback(const QString& name) {
    Paint paint;
    QSize size;
    if (int frame = spinnerFrame(name)) {
        paint = spinner(frame);
        size = {24, 24};
    } else if (auto it = table().find(name); it != table().end()) {
        paint = it->paint;
        size = it->size;
    } else {
        return {};
    }
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    paint(painter, QRectF(QPointF(0, 0), QSizeF(size)));
    return image;
}

}  // namespace KitIcons

}  // namespace quillby
