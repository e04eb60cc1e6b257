#include "monitor/ui/DesktopNotifications.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QGuiApplication>
#include <QVariantMap>

bool showDesktopNotification(const QStringList& lines, int timeoutMs) {
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.Notifications"),
        QStringLiteral("/org/freedesktop/Notifications"),
        QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("Notify"));
    QString summary = lines.value(0);
    QString body = lines.mid(1).join(QLatin1Char('\n'));
    call << QStringLiteral("Quillby Pro") << quint32(0) << QStringLiteral("com.quillby.pro")
         << summary << body << QStringList() << QVariantMap() << qint32(timeoutMs);
    QDBusMessage reply = QDBusConnection::sessionBus().call(call, QDBus::Block, 2000);
    return reply.type() == QDBusMessage::ReplyMessage;
}

bool windowsCannotBePlaced() {
    return QGuiApplication::platformName().startsWith(QStringLiteral("wayland"));
}
