// SPDX-License-Identifier: GPL-3.0-or-later
#include "clean/ui/CleanReportPage.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "clean/CleanCategory.h"
#include "clean/CleanFailure.h"
#include "clean/SystemCleanModel.h"
#include "core/text/UtilityFunction.h"
#include "ui/RichStatusLine.h"

namespace quillby {

CleanReportPage::CleanReportPage(SystemCleanModel& model, Kind kind, QWidget* parent)
    : QWidget(parent),
      model_(model),
      kind_(kind),
      heading_(new QLabel),
      failures_(new QLabel),
      back_(new QPushButton(tr("Back"))),
      stop_(new QPushButton(tr("Stop"))) {
    setMinimumSize(904, 559);
    setAccessibleName(kind == Progress ? tr("Clean in progress") : tr("Clean results"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(40, 30, 40, 30);
    heading_->setAccessibleName(tr("Clean status"));
    heading_->setStyleSheet(QStringLiteral("font-size: 18px; font-weight: bold;"));
    layout->addWidget(heading_);
    for (int id = 0; id < CleanCategoryId::Count; ++id) {
        lines_[id] = new QLabel;
        lines_[id]->setAccessibleName(
            QString::fromStdString(std::string(cleanCategories()[id].title)));
        layout->addWidget(lines_[id]);
    }
    failures_->setWordWrap(true);
    failures_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    failures_->setAccessibleName(tr("Items left behind"));
    layout->addWidget(failures_);
    layout->addStretch(1);
    back_->setAccessibleName(tr("Back to the list"));
    back_->setVisible(kind == Results);
    stop_->setAccessibleName(tr("Stop the clean"));
    stop_->setVisible(kind == Progress);
    for (QPushButton* button : {back_, stop_}) layout->addWidget(button, 0, Qt::AlignRight);
    connect(back_, &QPushButton::clicked, this, [this] { model_.back(); });
    connect(stop_, &QPushButton::clicked, this, [this] { model_.stop(); });
    refresh();
}

void CleanReportPage::refresh() {
    // Each line is named for what it reports; a screen reader reads the figures as its text.
    RichStatusLine::showPlain(*heading_, QString::fromStdString(model_.statusText()));
    for (int id = 0; id < CleanCategoryId::Count; ++id) {
        QString title = QString::fromStdString(std::string(cleanCategories()[id].title));
        QString figure = kind_ == Progress
                             ? tr("%1%, %2 left")
                                   .arg(model_.progressLevel(id))
                                   .arg(QString::fromStdString(model_.list(id).filesSize.get()))
                             : tr("%1 cleaned")
                                   .arg(QString::fromStdString(
                                       UtilityFunction::convertVolSpace(model_.cleanedBytes(id))));
        RichStatusLine::showPlain(*lines_[id], title + QStringLiteral(": ") + figure);
    }
    std::string report = cleanFailureReport(model_.failures());
    failures_->setVisible(kind_ == Results && !report.empty());
    RichStatusLine::showPlain(*failures_,
                              tr("Left behind:\n%1").arg(QString::fromStdString(report)));
    back_->setEnabled(!model_.isCleaning());
    stop_->setEnabled(model_.canStop());
}

}  // namespace quillby
