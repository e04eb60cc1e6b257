// SPDX-License-Identifier: GPL-3.0-or-later
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>
#include <cstdio>
#include <cstdlib>

// Saves a picture of the screen of the display in $DISPLAY, whole or the rectangle given:
// screen-grab OUT.png [X Y WIDTH HEIGHT]
int main(int argc, char** argv) {
    if (argc != 2 && argc != 6) {
        std::fprintf(stderr, "usage: screen-grab OUT.png [X Y WIDTH HEIGHT]\n");
        return 2;
    }
    QGuiApplication application(argc, argv);
    QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) return 1;
    QPixmap picture = argc == 6 ? screen->grabWindow(0, std::atoi(argv[2]), std::atoi(argv[3]),
                                                     std::atoi(argv[4]), std::atoi(argv[5]))
                                : screen->grabWindow(0);
    return picture.save(QString::fromLocal8Bit(argv[1])) ? 0 : 1;
}
