// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>
#include <QString>

#include "ui/RoleIcons.h"

namespace quillby {

// The images the tool pages name ("option_yes.png", "add.png", "loading_3.png", ...): which
// desktop-theme icons stand for each and a drawing of our own in the window's colours for when
// the theme has none. The image provider asks here for names that are not role icons.
namespace KitIcons {

// The role of a page image; an empty size when the name is not one.
RoleIcons::Role roleOf(const QString& name);
// Our own drawing at the role's size; null for an unknown name.
QImage fallback(const QString& name);

}  // namespace KitIcons

}  // namespace quillby
