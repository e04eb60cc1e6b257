// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QStringList>

namespace quillby {

// Shows texts as desktop notifications (org.freedesktop.Notifications), for window systems where
// a program cannot place its own balloon windows. The call is sent without waiting for its
// answer; false when there is no session bus.
bool showDesktopNotification(const QStringList& lines, int timeoutMs);

// True when the running window system does not let a program place its own windows.
bool windowsCannotBePlaced();

}  // namespace quillby
