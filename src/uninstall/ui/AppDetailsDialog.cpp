// SPDX-License-Identifier: GPL-3.0-or-later
#include "uninstall/ui/AppDetailsDialog.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/AppItemIcon.h"

namespace quillby {

namespace {

QLabel* line(const std::string& text, const std::string& toolTip = "") {
    auto* label = new QLabel(QString::fromStdString(text));
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    if (!toolTip.empty()) label->setToolTip(QString::fromStdString(toolTip));
    label->setAccessibleName(QString::fromStdString(toolTip.empty() ? text : toolTip));
    return label;
}

}  // namespace

AppDetailsDialog::AppDetailsDialog(const AppItems& app, const AppDetails& details, QWidget* parent)
    : QDialog(parent),
      icon_(new QLabel),
      name_(line(details.name, details.nameToolTip)),
      size_(line(details.sizeText)),
      created_(line(details.created)),
      path_(line(details.path, details.pathToolTip)) {
    setWindowTitle(QString::fromStdString(details.nameToolTip));
    setFixedSize(500, 300);
    icon_->setFixedSize(200, 200);
    icon_->setPixmap(appItemIcon(app).pixmap(200, 200));
    icon_->setAccessibleName(tr("Icon of %1").arg(QString::fromStdString(app.name)));
    QFont nameFont = name_->font();
    nameFont.setBold(true);
    nameFont.setPointSizeF(nameFont.pointSizeF() * 1.3);
    name_->setFont(nameFont);
    path_->setWordWrap(true);

    auto* facts = new QVBoxLayout;
    facts->addWidget(name_);
    facts->addWidget(size_);
    facts->addWidget(created_);
    facts->addWidget(path_);
    facts->addStretch(1);
    auto* top = new QHBoxLayout;
    top->addWidget(icon_);
    top->addLayout(facts, 1);
    auto* ok = new QPushButton(tr("OK"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    auto* bottom = new QHBoxLayout;
    bottom->addStretch(1);
    bottom->addWidget(ok);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top, 1);
    layout->addLayout(bottom);
}

}  // namespace quillby
