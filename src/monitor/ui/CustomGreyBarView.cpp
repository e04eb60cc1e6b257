// SPDX-License-Identifier: GPL-3.0-or-later
#include "monitor/ui/CustomGreyBarView.h"

#include <QPainter>

#include "core/text/LocalizedText.h"
#include "monitor/VolumeRow.h"

namespace quillby {

CustomGreyBarView::CustomGreyBarView(std::uint32_t kind, QWidget* parent)
    : QWidget(parent), kind_(kind) {
    setFixedSize(kSize);
}

QString CustomGreyBarView::title() const {
    std::string key = VolumeRow::groupTitleKey(kind_);
    return key.empty() ? QString() : QString::fromStdString(localizedString(key));
}

void CustomGreyBarView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), QColor(150, 150, 150));
    QFont font = this->font();
    font.setPointSize(9);
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(palette().highlightedText().color());
    painter.drawText(rect().adjusted(4, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter, title());
}

}  // namespace quillby
