// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QHash>
#include <QIcon>
#include <QImage>
#include <QString>

namespace quillby {

// Every image the program names by state or by role, drawn on demand from its name so that no
// image files need shipping and the naming rules stay in code:
//   "42%.png" / "93%-1.png"        tray level icon, normal / alarm
//   "42.png" / "42-1.png"          row level bar (200 x 25), normal / alarm
//   "42_index.png" / "42_r_index.png"  tile level bar, normal / alarm
//   "42_progress_bar.png"          category progress bar
//   "disk_mac.png", "search.png", ...  role icons: the desktop theme's icon when it has one,
//                                      else a drawing of our own
// Levels run from 0 to 100; a name outside these forms gives a null image.
class ImageProvider {
  public:
    static ImageProvider& shared();

    // The image for `name`, at its natural size; null when the name is unknown.
    QImage image(const QString& name);
    // The same as an icon (role icons keep every size the theme offers).
    QIcon icon(const QString& name);
    // True when `name` is one of the forms above.
    bool knows(const QString& name) const;
    // Whether role icons may come from the desktop theme (tests turn it off so pictures do not
    // depend on the machine's theme).
    void setUseThemeIcons(bool use);
    bool usesThemeIcons() const { return useTheme_; }

  private:
    QImage draw(const QString& name) const;
    QHash<QString, QImage> cache_;
    bool useTheme_ = true;
};

}  // namespace quillby
