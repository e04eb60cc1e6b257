// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>
#include <QString>
#include <QWidget>

// Pictures of widgets and images rendered from fixture data, written under the build folder's
// ui-pictures/ so that a change's look can be seen. Gives the file's path.
QString saveUiPicture(const QImage& image, const QString& name);
QString saveUiPicture(QWidget& widget, const QString& name);

// The share of pixels in `area` whose colour is near `colour` (0 ... 1).
double shareOfColour(const QImage& image, const QRect& area, const QColor& colour,
                     int tolerance = 40);
