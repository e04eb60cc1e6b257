// SPDX-License-Identifier: GPL-3.0-or-later
#include "monitor/ui/DesktopNotifications.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QGuiApplication>
#include <QPointer>
#include <QVariantMap>
#include <map>

namespace quillby {

namespace {

const QString kService = QStringLiteral("org.freedesktop.Notifications");
const QString kPath = QStringLiteral("/org/freedesktop/Notifications");
const QString kDefaultAction = QStringLiteral("default");

// The click actions of the notifications still open, by the id the server gave them; the server
// names the clicked one in its ActionInvoked signal.
class NotificationActions : public QObject {
    Q_OBJECT
  public:
    static NotificationActions* shared(QDBusConnection& bus) {
        static QPointer<NotificationActions> actions;
        if (!actions) actions = new NotificationActions(bus, QCoreApplication::instance());
        return actions;
    }

    void add(quint32 id, std::function<void()> action) { actions_[id] = std::move(action); }

  public slots:
    void invoked(uint id, const QString& key) {
        auto found = actions_.find(id);
        if (found == actions_.end() || key != kDefaultAction) return;
        auto action = std::move(found->second);
        actions_.erase(found);
        action();
    }
    void closed(uint id, uint) { actions_.erase(id); }

  private:
    NotificationActions(QDBusConnection& bus, QObject* parent) : QObject(parent) {
        bus.connect(kService, kPath, kService, QStringLiteral("ActionInvoked"), this,
                    SLOT(invoked(uint, QString)));
        bus.connect(kService, kPath, kService, QStringLiteral("NotificationClosed"), this,
                    SLOT(closed(uint, uint)));
    }

    std::map<quint32, std::function<void()>> actions_;
};

}  // namespace

bool showDesktopNotification(const QStringList& lines, int timeoutMs,
                             std::function<void()> onClick) {
    QDBusMessage call =
        QDBusMessage::createMethodCall(kService, kPath, kService, QStringLiteral("Notify"));
    QString summary = lines.value(0);
    QString body = lines.mid(1).join(QLatin1Char('\n'));
    QStringList actions;
    if (onClick) actions << kDefaultAction << lines.value(1);
    call << QStringLiteral("Quillby Pro") << quint32(0) << QStringLiteral("com.quillby.pro")
         << summary << body << actions << QVariantMap() << qint32(timeoutMs);
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) return false;
    // Sent without waiting: a notification service that hangs must not hold up the program.
    QDBusPendingCall pending = bus.asyncCall(call, 2000);
    if (onClick) {
        NotificationActions* registry = NotificationActions::shared(bus);
        auto* watcher = new QDBusPendingCallWatcher(pending, registry);
        QObject::connect(watcher, &QDBusPendingCallWatcher::finished, registry,
                         [registry, onClick = std::move(onClick)](QDBusPendingCallWatcher* done) {
                             QDBusPendingReply<quint32> reply = *done;
                             if (!reply.isError()) registry->add(reply.value(), onClick);
                             done->deleteLater();
                         });
    }
    return true;
}

bool windowsCannotBePlaced() {
    return QGuiApplication::platformName().startsWith(QStringLiteral("wayland"));
}

}  // namespace quillby

#include "DesktopNotifications.moc"
