#pragma once

#include <QStringList>

// Shows texts as desktop notifications (org.freedesktop.Notifications), for window systems where
// a program cannot place its own balloon windows. False when no notification service answers.
bool showDesktopNotification(const QStringList& lines, int timeoutMs);

// True when the running window system does not let a program place its own windows.
bool windowsCannotBePlaced();
