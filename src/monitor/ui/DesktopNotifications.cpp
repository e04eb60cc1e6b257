// SPDX-License-Identifier: GPL-3.0-or-later
#include "monitor/ui/DesktopNotifications.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QGuiApplication>
#include <QVariantMap>

namespace quillby {

bool showDesktopNotification(const QStringList& lines, int timeoutMs) {
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.Notifications"),
        QStringLiteral("/org/freedesktop/Notifications"),
        QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("Notify"));
    QString summary = lines.value(0);
    QString body = lines.mid(1).join(QLatin1Char('\n'));
    call << QStringLiteral("Quillby Pro") << quint32(0) << QStringLiteral("com.quillby.pro")
         << summary << body << QStringList() << QVariantMap() << qint32(timeoutMs);
    // Sent without waiting: a notification service that hangs must not hold up the program.
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) return false;
    bus.asyncCall(call, 2000);
    return true;
}

bool windowsCannotBePlaced() {
    return QGuiApplication::platformName().startsWith(QStringLiteral("wayland"));
}

}  // namespace quillby
