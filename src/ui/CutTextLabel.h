// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLabel>

namespace quillby {

// A label that shows at most a given number of characters of its text, cut with "...", and the
// whole text as its tooltip and accessible name when it was cut.
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
