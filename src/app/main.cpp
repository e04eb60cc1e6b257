// SPDX-License-Identifier: GPL-3.0-or-later
#include <QApplication>
#include <QGuiApplication>
#include <QIcon>
#include <cstdio>
#include <cstdlib>

#include "app/ProcessEntry.h"
#include "platform/linux/LinuxPlatform.h"
#include "shell/QuillbyProApplication.h"

using namespace quillby;

namespace {

// True when some window system is reachable; without one the program cannot show anything.
bool hasDisplay() {
    const char* platform = std::getenv("QT_QPA_PLATFORM");
    if (platform && *platform) return true;
    return std::getenv("DISPLAY") || std::getenv("WAYLAND_DISPLAY");
}

}  // namespace

int main(int argc, char** argv) {
    installLinuxPlatform(PlatformContext::fromEnvironment());
    if (auto status = runProcessEntry(argc, argv)) return *status;
    if (!hasDisplay()) {
        std::fprintf(stdout, "Quillby Pro needs a display; use the quillby command instead.\n");
        return 0;
    }

    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quillby Pro"));
    QApplication::setOrganizationDomain(QStringLiteral("quillby.pro"));
    QGuiApplication::setDesktopFileName(QStringLiteral("com.quillby.pro"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/com.quillby.pro.svg")));
    // The program lives in the tray: closing its window must not end it.
    QApplication::setQuitOnLastWindowClosed(false);

    QuillbyProApplication program;
    if (!program.start()) return 0;  // the running program was asked to show its window
    return QApplication::exec();
}
