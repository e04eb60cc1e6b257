// SPDX-License-Identifier: GPL-3.0-or-later
#include "duplicates/ui/DuplicateOptionsView.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

#include "duplicates/DuplicateSearchChoices.h"
#include "ui/PathListEditor.h"

namespace quillby {

namespace {

// The preferences' limit field holds four digits.
constexpr int kLargestLimit = 9999;

}  // namespace

PathListEditor* DuplicateOptionsView::excludesEditor(DuplicateSearchChoices& choices,
                                                     QWidget* parent) {
    auto* editor = new PathListEditor(
        {.caption = tr("Leave out of duplicate searches"),
         .dialogTitle = tr("Folder to leave out"),
         .placeholder = tr("A folder, or a name pattern such as *.tmp")},
        {.read = [&choices] { return choices.excludes(); },
         .add = [&choices](const std::string& entry) { return choices.addExclude(entry); },
         .remove = [&choices](std::size_t index) { return choices.removeExclude(index); }},
        parent);
    editor->follow(DuplicateSearchChoices::observe([editor] { editor->refresh(); }));
    return editor;
}

DuplicateOptionsView::DuplicateOptionsView(DuplicateSearchChoices& choices, QWidget* parent)
    : QWidget(parent),
      choices_(choices),
      disclosure_(new QToolButton(this)),
      panel_(new QWidget(this)),
      limit_(new QSpinBox(panel_)),
      unit_(new QComboBox(panel_)),
      hidden_(new QCheckBox(tr("Include hidden files"), panel_)),
      system_(new QCheckBox(tr("Include system files"), panel_)),
      excludes_(excludesEditor(choices, panel_)),
      keepIn_(new PathListEditor(
          {.caption = tr("Keep copies in these folders"),
           .dialogTitle = tr("Folder whose copies stay")},
          {.read = [&choices] { return choices.keepIn(); },
           .add = [&choices](const std::string& folder) { return choices.addKeepIn(folder); },
           .remove = [&choices](std::size_t index) { return choices.removeKeepIn(index); }},
          panel_)) {
    disclosure_->setText(tr("More Options"));
    disclosure_->setAccessibleName(tr("More search options"));
    disclosure_->setCheckable(true);
    disclosure_->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    disclosure_->setArrowType(Qt::RightArrow);
    disclosure_->setAutoRaise(true);
    connect(disclosure_, &QToolButton::toggled, this, [this](bool open) {
        disclosure_->setArrowType(open ? Qt::DownArrow : Qt::RightArrow);
        panel_->setVisible(open);
    });
    panel_->setVisible(false);

    limit_->setRange(0, kLargestLimit);
    limit_->setAccessibleName(tr("Duplicates larger than"));
    int code = 0;
    for (const char* unit : {"bytes", "KB", "MB", "GB", "TB"})
        unit_->addItem(QString::fromLatin1(unit), code++);
    unit_->setAccessibleName(tr("Duplicates size unit"));
    hidden_->setAccessibleName(hidden_->text());
    system_->setAccessibleName(system_->text());
    keepIn_->setToolTip(
        tr("Where a group has a copy inside one of these folders, that copy "
           "stays. For this session only."));
    connect(limit_, &QSpinBox::valueChanged, this, [this](int value) { choices_.setLimit(value); });
    connect(unit_, &QComboBox::activated, this,
            [this](int index) { choices_.setUnit(unit_->itemData(index).toInt()); });
    connect(hidden_, &QCheckBox::clicked, this, [this](bool on) { choices_.setIncludeHidden(on); });
    connect(system_, &QCheckBox::clicked, this, [this](bool on) { choices_.setIncludeSystem(on); });

    auto* limitCaption = new QLabel(tr("Larger than"), panel_);
    limitCaption->setBuddy(limit_);
    auto* row = new QHBoxLayout;
    row->addWidget(limitCaption);
    row->addWidget(limit_);
    row->addWidget(unit_);
    row->addSpacing(fontMetrics().averageCharWidth() * 2);
    row->addWidget(hidden_);
    row->addWidget(system_);
    row->addStretch(1);
    auto* lists = new QHBoxLayout;
    lists->addWidget(excludes_, 3);
    lists->addWidget(keepIn_, 2);
    auto* panelLayout = new QVBoxLayout(panel_);
    panelLayout->setContentsMargins(0, 0, 0, 0);
    panelLayout->addLayout(row);
    panelLayout->addLayout(lists);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(disclosure_, 0, Qt::AlignLeft);
    layout->addWidget(panel_);

    readSettings();
    changed_ = DuplicateSearchChoices::observe([this] { readSettings(); });
}

void DuplicateOptionsView::readSettings() {
    // Showing a stored value must not store it again.
    QSignalBlocker quietLimit(limit_), quietUnit(unit_), quietHidden(hidden_), quietSystem(system_);
    limit_->setValue(static_cast<int>(std::min<std::int64_t>(choices_.limit(), kLargestLimit)));
    int unit = unit_->findData(static_cast<int>(choices_.unit()));
    unit_->setCurrentIndex(unit >= 0 ? unit : 0);
    hidden_->setChecked(choices_.includeHidden());
    system_->setChecked(choices_.includeSystem());
}

}  // namespace quillby
