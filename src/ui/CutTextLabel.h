// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLabel>

namespace quillby {

// A label that shows at most a given number of characters of its text, cut with "...", and the
// whole text as its tooltip when it was cut. Assistive technology reads it as a status line: its
// name says what it is (its owner names it), its description is always the whole text.
class CutTextLabel : public QLabel {
    Q_OBJECT
  public:
    explicit CutTextLabel(int keep, QWidget* parent = nullptr);

    void setFullText(const QString& text);
    const QString& fullText() const { return fullText_; }

  private:
    int keep_;
    QString fullText_;
};

}  // namespace quillby
