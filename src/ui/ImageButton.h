// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

class QToolButton;

namespace quillby {

// A flat button that shows only an image from the image provider: `tip` as its tooltip and
// `name` for assistive technology, which cannot read the image.
QToolButton* imageButton(const QString& image, const QString& tip, const QString& name);
// The same for a button inside a table row: the table keeps the keyboard focus.
QToolButton* tableRowButton(const QString& image, const QString& tip, const QString& name);

}  // namespace quillby
