// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/UiPictures.h"

#include <QDir>
#include <cstdlib>

QString saveUiPicture(const QImage& image, const QString& name) {
    // The real-window runs draw with another window system: they keep their pictures apart, so
    // the offscreen ones the README shows stay as they are.
    QString chosen = qEnvironmentVariable("QUILLBY_UI_PICTURES_DIR");
    QDir folder(chosen.isEmpty() ? QStringLiteral(QUILLBY_UI_PICTURES_DIR) : chosen);
    folder.mkpath(QStringLiteral("."));
    QString path = folder.filePath(name + QStringLiteral(".png"));
    image.save(path);
    return path;
}

QString saveUiPicture(QWidget& widget, const QString& name) {
    return saveUiPicture(widget.grab().toImage(), name);
}

double shareOfColour(const QImage& image, const QRect& area, const QColor& colour, int tolerance) {
    QRect box = area.intersected(image.rect());
    if (box.isEmpty()) return 0;
    int near = 0;
    for (int y = box.top(); y <= box.bottom(); ++y) {
        for (int x = box.left(); x <= box.right(); ++x) {
            QColor pixel = image.pixelColor(x, y);
            if (std::abs(pixel.red() - colour.red()) <= tolerance &&
                std::abs(pixel.green() - colour.green()) <= tolerance &&
                std::abs(pixel.blue() - colour.blue()) <= tolerance && pixel.alpha() > 128) {
                ++near;
            }
        }
    }
    return static_cast<double>(near) / (box.width() * box.height());
}
