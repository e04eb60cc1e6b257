// SPDX-License-Identifier: GPL-3.0-or-later
#include "uninstall/ui/UninstallConfirmDialog.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace quillby {

UninstallConfirmDialog::UninstallConfirmDialog(const UninstallPlanSheet& sheet, QWidget* parent)
    : QDialog(parent), plan_(new QTreeWidget) {
    const UninstallConfirmation& question = sheet.confirmation;
    setWindowTitle(QString::fromStdString(question.message));
    auto* message = new QLabel(QString::fromStdString(question.message));
    QFont bold = message->font();
    bold.setBold(true);
    bold.setPointSizeF(bold.pointSizeF() * 1.2);
    message->setFont(bold);
    auto* informative = new QLabel(QString::fromStdString(question.informativeText));
    informative->setWordWrap(true);
    auto* summary = new QLabel(QString::fromStdString(sheet.summary()));
    summary->setWordWrap(true);

    plan_->setAccessibleName(tr("What will be removed"));
    plan_->setColumnCount(3);
    plan_->setHeaderLabels({tr("What goes"), tr("Size"), tr("Where")});
    plan_->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    plan_->header()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
    plan_->header()->setSectionResizeMode(2, QHeaderView::ResizeToContents);
    plan_->header()->setStretchLastSection(false);
    for (const PlannedApp& app : sheet.apps) {
        auto* top = new QTreeWidgetItem(
            plan_, {QString::fromStdString(app.name + " (" + app.identifier + ")")});
        if (app.isOwnApplication) {
            new QTreeWidgetItem(top, {tr("This program is never removed: it stays")});
        }
        for (const PlannedStep& step : app.steps) {
            auto* item = new QTreeWidgetItem(
                top, {QString::fromStdString(step.text), QString::fromStdString(step.sizeText),
                      step.toTrash ? tr("to the trash") : tr("deleted")});
            item->setToolTip(0, QString::fromStdString(step.line()));
        }
        top->setExpanded(true);
    }

    auto* buttons = new QDialogButtonBox;
    QPushButton* uninstall = buttons->addButton(QString::fromStdString(question.defaultButton),
                                                QDialogButtonBox::AcceptRole);
    QPushButton* cancel = buttons->addButton(QString::fromStdString(question.otherButton),
                                             QDialogButtonBox::RejectRole);
    uninstall->setDefault(true);
    cancel->setAutoDefault(false);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(message);
    layout->addWidget(informative);
    layout->addWidget(plan_, 1);
    layout->addWidget(summary);
    layout->addWidget(buttons);
    resize(640, 420);
}

}  // namespace quillby
