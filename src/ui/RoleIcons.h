// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>
#include <QSize>
#include <QString>
#include <QStringList>

namespace quillby {

// The program's role icons by name ("disk_mac.png", "search.png", ...): which desktop-theme
// icons stand for each, its natural size, and a drawing of our own for when the theme has none.
namespace RoleIcons {

struct Role {
    QStringList themeNames;  // tried in order
    QSize size;
};

// The role of an icon name; an empty size when the name is not a role icon.
Role roleOf(const QString& name);
// Our own drawing of a role icon at the role's size; null for an unknown name.
QImage fallback(const QString& name);

}  // namespace RoleIcons

}  // namespace quillby
