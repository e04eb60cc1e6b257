// SPDX-License-Identifier: GPL-3.0-or-later
#include "duplicates/ui/DuplicateResultsView.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QStackedWidget>
#include <QTreeView>
#include <QVBoxLayout>

#include "ui/BusySpinner.h"
#include "ui/CutTextLabel.h"
#include "ui/RichStatusLine.h"

namespace quillby {

namespace {

constexpr int kTitleKept = 25;

QPushButton* namedButton(const QString& text, const QString& name, QWidget* parent) {
    auto* button = new QPushButton(text, parent);
    button->setToolTip(name);
    button->setAccessibleName(name);
    return button;
}

}  // namespace

DuplicateResultsView::DuplicateResultsView(QWidget* parent)
    : DuplicateViewPage(parent),
      categories_(new QListWidget(this)),
      headerBox_(new QCheckBox(this)),
      title_(new CutTextLabel(kTitleKept, this)),
      filter_(new QLineEdit(this)),
      centre_(new QStackedWidget(this)),
      outline_(new QTreeView(this)),
      selection_(new RichStatusLine(this)),
      freeLine_(new QLabel(this)),
      remove_(namedButton(tr("Remove"), tr("Remove selected file"), this)),
      link_(namedButton(tr("Replace with links"),
                        tr("Replace the ticked copies with links to the copies that stay"), this)),
      open_(namedButton(tr("Open"), tr("Open selected file"), this)),
      reveal_(namedButton(tr("Show in the file manager"),
                          tr("Show the selected file in the file manager"), this)),
      back_(namedButton(tr("Back"), tr("Back to the start"), this)),
      choose_(namedButton(tr("Select scan path"), tr("Select scan path"), this)),
      again_(namedButton(tr("Search again"), tr("Search the same folder again"), this)),
      deletingName_(new QLabel(this)),
      spinner_(new BusySpinner(this)),
      stopDeletion_(namedButton(tr("Stop"), tr("Stop removing"), this)) {
    setAccessibleName(tr("Duplicate files found"));
    categories_->setAccessibleName(tr("Categories"));
    categories_->setIconSize(QSize(24, 24));
    categories_->setFixedWidth(fontMetrics().averageCharWidth() * 26);
    headerBox_->setTristate(true);
    headerBox_->setAccessibleName(tr("Tick all"));
    headerBox_->setToolTip(tr("Tick every copy but one of each group, or untick all"));
    title_->setAccessibleName(tr("Files shown"));
    filter_->setPlaceholderText(tr("Filter by name or path"));
    filter_->setAccessibleName(tr("Filter the groups by name or path"));
    filter_->setClearButtonEnabled(true);
    filter_->setMaximumWidth(fontMetrics().averageCharWidth() * 30);
    outline_->setAccessibleName(tr("Duplicate groups"));
    outline_->setUniformRowHeights(true);
    outline_->setIconSize(QSize(30, 30));
    outline_->setAlternatingRowColors(false);
    outline_->setSortingEnabled(false);
    outline_->header()->setSectionsClickable(true);
    outline_->header()->setAccessibleName(tr("Sort by column"));
    outline_->header()->setSortIndicatorShown(false);
    selection_->setAccessibleName(tr("Selection"));
    freeLine_->setAccessibleName(tr("Space freed"));
    freeLine_->setWordWrap(true);
    deletingName_->setAccessibleName(tr("Copy being removed"));

    auto* deletion = new QWidget(this);
    auto* deletionLayout = new QVBoxLayout(deletion);
    deletionLayout->addStretch();
    deletionLayout->addWidget(spinner_, 0, Qt::AlignHCenter);
    deletionLayout->addWidget(deletingName_, 0, Qt::AlignHCenter);
    deletionLayout->addWidget(stopDeletion_, 0, Qt::AlignHCenter);
    deletionLayout->addStretch();
    centre_->addWidget(outline_);
    centre_->addWidget(deletion);

    auto* top = new QHBoxLayout;
    top->addWidget(headerBox_);
    top->addWidget(title_, 1);
    top->addWidget(filter_, 1);
    top->addWidget(again_);
    top->addWidget(choose_);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(back_);
    buttons->addWidget(selection_, 1);
    buttons->addWidget(open_);
    buttons->addWidget(reveal_);
    buttons->addWidget(link_);
    buttons->addWidget(remove_);
    auto* right = new QVBoxLayout;
    right->addLayout(top);
    right->addWidget(centre_, 1);
    right->addWidget(freeLine_);
    right->addLayout(buttons);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(categories_);
    layout->addLayout(right, 1);
}

void DuplicateResultsView::showDeletion(bool deleting) {
    centre_->setCurrentIndex(deleting ? 1 : 0);
}

}  // namespace quillby
