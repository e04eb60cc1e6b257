// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QIcon>

#include "core/apps/AppItems.h"

namespace quillby {

// The icon of an application or login item: its icon file, else its theme icon, else the
// generic program icon (our own drawing when the theme has none).
QIcon appItemIcon(const AppItems& item);

}  // namespace quillby
