// SPDX-License-Identifier: GPL-3.0-or-later
#include "diskusage/ui/SelectableItemRow.h"

#include <QCheckBox>
#include <QContextMenuEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <algorithm>

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

int SelectableItemRow::sizeColumnWidth() {
    return QFontMetrics(rowFont()).horizontalAdvance(QStringLiteral("0000.00 MB"));
}

int SelectableItemRow::cellWidths(int column) {
    static const QString widest[] = {QStringLiteral("100%"), QStringLiteral("000,000"),
                                     QStringLiteral("0000-00-00 00:00"),
                                     QStringLiteral("-0000.00 MB")};
    column = std::clamp(column, 0, 3);
    // The date keeps a gap from the count before it.
    return QFontMetrics(rowFont()).horizontalAdvance(widest[column]) +
           (column == 2 ? 3 : 1) * kSpacing;
}

int SelectableItemRow::listRowWidth(bool withChange) {
    int width = 200;
    for (int column = 0; column < (withChange ? 4 : 3); ++column)
        width += cellWidths(column) + kSpacing;
    return width;
}

SelectableItemRow::SelectableItemRow(const DiskUsageItem& item, bool selected, Kind kind,
                                     const Cells* cells, QWidget* parent)
    : QWidget(parent),
      item_(item),
      selected_(selected),
      check_(new QCheckBox(this)),
      name_(new QLabel(this)) {
    bool inList = kind == Kind::BigSizeFilesList;
    setFixedSize(!inList ? 560 : cells ? listRowWidth(cells->change.has_value()) : 200, 30);
    QString name = QString::fromStdString(item.name);
    QFont font = rowFont();
    QString shown = name;
    if (inList && cells) {
        // The name gets the room the row's fixed columns leave it, shortened in the middle when
        // longer, so that it never pushes the columns after it out of line.
        int room = 200 - 5 * kSpacing - check_->sizeHint().width() - 16 - sizeColumnWidth();
        shown = QFontMetrics(font).elidedText(name, Qt::ElideMiddle, room);
        name_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    } else if (inList) {
        if (QFontMetrics(font).horizontalAdvance(name) > 100) shown = cut(item.name, 8);
    } else {
        shown = cut(item.name, 70);
    }
    QString tip = QString::fromStdString(item.path);
    if (item.unreadable) {
        shown.prepend(QString::fromUtf8(kUnreadableMark));
        tip += QStringLiteral("\n") + tr(kUnreadableTip);
    } else if (item.excluded) {
        shown.prepend(QString::fromUtf8(kExcludedMark));
        tip += QStringLiteral("\n") + tr(kExcludedTip);
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
    layout->setContentsMargins(kSpacing, 0, kSpacing, 0);
    layout->setSpacing(kSpacing);
    layout->addWidget(check_);
    layout->addWidget(icon);
    layout->addWidget(name_, 1);
    layout->addWidget(size);
    if (inList && cells) {
        size->setFixedWidth(sizeColumnWidth());
        size->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        const QString* texts[] = {&cells->percent, &cells->items, &cells->modified,
                                  cells->change ? &*cells->change : nullptr};
        for (int column = 0; column < 4 && texts[column]; ++column) {
            auto* cell = new QLabel(*texts[column], this);
            cell->setFont(font);
            cell->setFixedWidth(cellWidths(column));
            cell->setAlignment((column != 2 ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter);
            if (column == 2) cell->setIndent(kSpacing * 2);
            cell->setStyleSheet(QStringLiteral("color: #c8c8c8;"));
            cells_.push_back(cell);
            layout->addWidget(cell);
        }
    }
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

void SelectableItemRow::contextMenuEvent(QContextMenuEvent* event) {
    emit menuRequested(item_, event->globalPos());
}

QStringList SelectableItemRow::cellTexts() const {
    QStringList texts;
    for (const QLabel* cell : cells_) texts << cell->text();
    return texts;
}

}  // namespace quillby
