// SPDX-License-Identifier: GPL-3.0-or-later
#include "diskusage/ui/DiskUsageRemovalSheet.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

#include "diskusage/ui/PageParts.h"
#include "diskusage/ui/SelectableItemRow.h"
#include "ui/ImageProvider.h"

namespace quillby {

namespace {

QPushButton* imageButton(const QString& image, const QString& text) {
    auto* button = new QPushButton(ImageProvider::shared().icon(image), text);
    button->setFixedSize(98, 28);
    button->setAccessibleName(text);
    return button;
}

}  // namespace

DiskUsageRemovalSheet::DiskUsageRemovalSheet(const std::vector<DiskUsageItem>& items,
                                             QWidget* parent)
    : QDialog(parent),
      cancel_(imageButton(QStringLiteral("cancle.png"), tr("Cancel"))),
      confirm_(imageButton(QStringLiteral("OK.png"), tr("Remove"))) {
    setWindowTitle(tr("Remove selected items"));
    setFixedSize(600, 400);
    setAccessibleName(tr("Remove selected items"));

    auto* list = new QWidget;
    auto* rows = new QVBoxLayout(list);
    rows->setContentsMargins(20, 0, 20, 0);
    rows->setSpacing(0);
    for (const auto& item : items) {
        auto* row = new SelectableItemRow(item, true, SelectableItemRow::Kind::SelectFilesListView,
                                          nullptr, list);
        connect(row, &SelectableItemRow::selectionToggled, this,
                &DiskUsageRemovalSheet::selectionToggled);
        rows->addWidget(row);
        rows_.push_back(row);
    }
    rows->addStretch(1);
    auto* scroll = PageParts::rowList(list, 600, tr("Items to remove"), this);
    scroll->setFixedHeight(340);

    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
    connect(confirm_, &QPushButton::clicked, this, &QDialog::accept);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cancel_);
    buttons->addWidget(confirm_);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 20, 2, 5);
    layout->setSpacing(7);
    layout->addWidget(scroll);
    layout->addLayout(buttons);
}

std::vector<DiskUsageItem> DiskUsageRemovalSheet::tickedItems() const {
    std::vector<DiskUsageItem> items;
    for (const auto* row : rows_) {
        if (row->isSelected()) items.push_back(row->item());
    }
    return items;
}

}  // namespace quillby
