// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QStringList>
#include <functional>

namespace quillby {

// Shows texts as desktop notifications (org.freedesktop.Notifications), for window systems where
// a program cannot place its own balloon windows. The call is sent without waiting for its
// answer; false when there is no session bus. With `onClick`, the notification's default action
// (a click on it) runs it.
bool showDesktopNotification(const QStringList& lines, int timeoutMs,
                             std::function<void()> onClick = {});

// True when the running window system does not let a program place its own windows.
bool windowsCannotBePlaced();

}  // namespace quillby
