// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

class QLabel;
class QScrollArea;
class QWidget;

namespace quillby {

// Pieces the disk-usage pages share.
namespace PageParts {

// A page's title: bold, 1.3 times the font's size.
QLabel* pageTitle(const QString& text, QWidget* parent);
// A vertical list of rows `width` wide that scrolls when it is taller than its place.
QScrollArea* rowList(QWidget* rows, int width, const QString& accessibleName, QWidget* parent);

}  // namespace PageParts

}  // namespace quillby
