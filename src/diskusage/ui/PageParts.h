// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

class QLabel;
class QPushButton;
class QScrollArea;
class QWidget;

namespace quillby {

class WorkRunner;

// Pieces the disk-usage pages share.
namespace PageParts {

// A page's title: bold, 1.3 times the font's size.
QLabel* pageTitle(const QString& text, QWidget* parent);
// A vertical list of rows `width` wide that scrolls when it is taller than its place.
QScrollArea* rowList(QWidget* rows, int width, const QString& accessibleName, QWidget* parent);
// The Stop of a page's removal: shown only while `work` runs; a click asks the work to stop
// before its next item and turns the button off until the work has ended.
QPushButton* stopButton(WorkRunner& work, QWidget* parent);

}  // namespace PageParts

}  // namespace quillby
