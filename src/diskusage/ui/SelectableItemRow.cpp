// SPDX-License-Identifier: GPL-3.0-or-later
#include "diskusage/ui/SelectableItemRow.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>

#include "core/text/PlainText.h"
#include "ui/ImageProvider.h"

namespace quillby {

namespace {

QFont rowFont() {
    QFont font(QStringLiteral("Monospace"));
    font.setStyleHint(QFont::Monospace);
    font.setPointSize(10);
    return font;
}

QString cut(const std::string& text, std::size_t keep) {
    return QString::fromStdString(cutText(text, keep));
}

}  // namespace

SelectableItemRow::SelectableItemRow(const DiskUsageItem& item, bool selected, Kind kind,
                                     QWidget* parent)
    : QWidget(parent),
      item_(item),
      selected_(selected),
      check_(new QCheckBox(this)),
      name_(new QLabel(this)) {
    bool inList = kind == Kind::BigSizeFilesList;
    setFixedSize(inList ? 200 : 560, 30);
    QString name = QString::fromStdString(item.name);
    QFont font = rowFont();
    QString shown = name;
    if (inList) {
        if (QFontMetrics(font).horizontalAdvance(name) > 100) shown = cut(item.name, 8);
    } else {
        shown = cut(item.name, 70);
    }
    QString tip = QString::fromStdString(item.path);
    if (item.unreadable) {
        shown.prepend(QString::fromUtf8(kUnreadableMark));
        tip += QStringLiteral("\n") + tr(kUnreadableTip);
    }
    name_->setText(shown);
    name_->setFont(font);
    name_->setToolTip(tip);
    auto* icon = new QLabel(this);
    icon->setPixmap(ImageProvider::shared()
                        .icon(item.isDirectory ? QStringLiteral("Folder_yes.png")
                                               : QStringLiteral("File_yes.png"))
                        .pixmap(16, 16));
    auto* size = new QLabel(cut(item.size, 10), this);
    size->setFont(font);
    for (QLabel* label : {name_, size}) label->setStyleSheet(QStringLiteral("color: white;"));

    check_->setAccessibleName(tr("Select %1").arg(name));
    check_->setToolTip(tr("Select %1").arg(name));
    connect(check_, &QCheckBox::clicked, this, [this](bool checked) {
        setSelected(checked);
        emit selectionToggled(item_, selected_);
    });
    setSelected(selected);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(4, 0, 4, 0);
    layout->setSpacing(4);
    layout->addWidget(check_);
    layout->addWidget(icon);
    layout->addWidget(name_, 1);
    layout->addWidget(size);
    setAccessibleName(name);
}

QString SelectableItemRow::shownName() const {
    return name_->text();
}

void SelectableItemRow::setSelected(bool selected) {
    selected_ = selected;
    check_->setChecked(selected);
}

void SelectableItemRow::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) emit rowClicked(item_);
}

}  // namespace quillby
