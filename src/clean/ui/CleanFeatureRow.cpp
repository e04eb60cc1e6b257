// SPDX-License-Identifier: GPL-3.0-or-later
#include "clean/ui/CleanFeatureRow.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>

#include "clean/CleanCategory.h"
#include "clean/SystemCleanModel.h"
#include "ui/ImageProvider.h"

namespace quillby {

CleanFeatureRow::CleanFeatureRow(SystemCleanModel& model, int category, QWidget* parent)
    : QWidget(parent),
      model_(model),
      category_(category),
      check_(new QCheckBox),
      size_(new QLabel),
      progress_(new QLabel) {
    QString title = QString::fromStdString(std::string(cleanCategories()[category].title));
    setAccessibleName(title);
    auto* layout = new QGridLayout(this);
    layout->setContentsMargins(6, 2, 8, 2);
    layout->setHorizontalSpacing(6);
    layout->setVerticalSpacing(1);
    check_->setTristate(true);
    check_->setAccessibleName(tr("Clean %1").arg(title));
    auto* name = new QLabel(title);
    name->setAccessibleName(title);
    size_->setAccessibleName(tr("Size of %1").arg(title));
    size_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    progress_->setAccessibleName(tr("Progress of %1").arg(title));
    layout->addWidget(check_, 0, 0, 2, 1);
    layout->addWidget(name, 0, 1);
    layout->addWidget(size_, 0, 2);
    layout->addWidget(progress_, 1, 1, 1, 2);
    layout->setColumnStretch(1, 1);
    // The setting decides the next state, not the box's own three-state cycle.
    connect(check_, &QCheckBox::clicked, this, [this] {
        model_.clickCategoryCheckBox(category_);
        refresh();
    });
    refresh();
}

void CleanFeatureRow::refresh() {
    int state = model_.categoryState(category_);
    check_->setCheckState(state == 1   ? Qt::Checked
                          : state == 2 ? Qt::PartiallyChecked
                                       : Qt::Unchecked);
    check_->setEnabled(!model_.categoryBusy(category_));
    size_->setText(QString::fromStdString(model_.rowSizeText(category_ + 1)));
    QString image = QString::fromStdString(model_.progressImageName(category_));
    progress_->setPixmap(QPixmap::fromImage(ImageProvider::shared().image(image))
                             .scaled(120, 6, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    progress_->setAccessibleDescription(image);
}

}  // namespace quillby
