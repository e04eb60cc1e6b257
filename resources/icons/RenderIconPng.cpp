// SPDX-License-Identifier: GPL-3.0-or-later
// render-icon-png SVG SIZE PNG: draws the program's icon at SIZE x SIZE pixels for the hicolor
// theme's fixed-size folders, so that only the SVG is kept in the repository.
#include <QCoreApplication>
#include <QImage>
#include <QImageReader>
#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    if (argc != 4) {
        std::fprintf(stderr, "usage: render-icon-png SVG SIZE PNG\n");
        return 2;
    }
    int size = QString::fromLocal8Bit(argv[2]).toInt();
    QImageReader reader(QString::fromLocal8Bit(argv[1]));
    reader.setScaledSize(QSize(size, size));
    QImage image = reader.read();
    if (image.isNull() || size <= 0) {
        std::fprintf(stderr, "render-icon-png: %s: %s\n", argv[1],
                     qPrintable(reader.errorString()));
        return 1;
    }
    if (!image.convertToFormat(QImage::Format_ARGB32)
             .save(QString::fromLocal8Bit(argv[3]), "PNG")) {
        std::fprintf(stderr, "render-icon-png: cannot write %s\n", argv[3]);
        return 1;
    }
    return 0;
}
