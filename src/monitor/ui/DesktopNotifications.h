#pragma once

#include <QStringList>

// Shows texts as desktop notifications (org.freedesktop.Notifications), for window systems where
// a program cannot place its own balloon windows. The call is sent without waiting for its
// answer; false when there is no session bus.
bool showDesktopNotification(const QStringList& lines, int timeoutMs);

// True when the running window system does not let a program place its own windows.
bool windowsCannotBePlaced();
