// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/CutTextLabel.h"

#include "core/text/PlainText.h"
#include "ui/RichStatusLine.h"

namespace quillby {

CutTextLabel::CutTextLabel(int keep, QWidget* parent) : QLabel(parent), keep_(keep) {
    setTextFormat(Qt::PlainText);
}

void CutTextLabel::setFullText(const QString& text) {
    fullText_ = text;
    QString shown = QString::fromStdString(
        cutText(text.toStdString(), static_cast<std::size_t>(std::max(keep_, 0))));
    setText(shown);
    setToolTip(shown == text ? QString() : text);
    RichStatusLine::describe(*this, text);
}

}  // namespace quillby
