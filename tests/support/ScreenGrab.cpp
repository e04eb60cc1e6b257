#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>
#include <cstdio>

// Saves a picture of the whole screen of the display in $DISPLAY: screen-grab OUT.png
int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: screen-grab OUT.png\n");
        return 2;
    }
    QGuiApplication application(argc, argv);
    QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) return 1;
    return screen->grabWindow(0).save(QString::fromLocal8Bit(argv[1])) ? 0 : 1;
}
