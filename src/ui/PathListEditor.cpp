// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/PathListEditor.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace quillby {

PathListEditor::PathListEditor(const Texts& texts, Binding binding, QWidget* parent)
    : QWidget(parent),
      binding_(std::move(binding)),
      dialogTitle_(texts.dialogTitle),
      list_(new QListWidget(this)),
      choose_(new QPushButton(tr("Choose Folder…"), this)),
      remove_(new QPushButton(tr("Remove"), this)) {
    auto* caption = new QLabel(texts.caption, this);
    caption->setBuddy(list_);
    list_->setAccessibleName(texts.caption);
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    // A few rows: the lists are short, and the page must keep room for its start.
    list_->setMaximumHeight(list_->fontMetrics().height() * 5);
    choose_->setAccessibleName(texts.caption + QStringLiteral(": ") + tr("choose a folder"));
    remove_->setAccessibleName(texts.caption + QStringLiteral(": ") +
                               tr("remove the chosen entry"));
    auto* buttons = new QHBoxLayout;
    buttons->setContentsMargins(0, 0, 0, 0);
    if (!texts.placeholder.isEmpty()) {
        field_ = new QLineEdit(this);
        field_->setPlaceholderText(texts.placeholder);
        field_->setAccessibleName(texts.caption + QStringLiteral(": ") + tr("folder or pattern"));
        add_ = new QPushButton(tr("Add"), this);
        add_->setAccessibleName(texts.caption + QStringLiteral(": ") + tr("add what is typed"));
        auto addTyped = [this] {
            if (field_->text().trimmed().isEmpty()) return;
            addEntry(field_->text().trimmed(), false);
        };
        connect(add_, &QPushButton::clicked, this, addTyped);
        connect(field_, &QLineEdit::returnPressed, this, addTyped);
        buttons->addWidget(field_, 1);
        buttons->addWidget(add_);
    }
    buttons->addWidget(choose_);
    buttons->addWidget(remove_);
    if (!field_) buttons->addStretch(1);
    connect(choose_, &QPushButton::clicked, this, [this] {
        auto* dialog = new QFileDialog(this, dialogTitle_, QDir::homePath());
        dialog->setAttribute(Qt::WA_DeleteOnClose);
        dialog->setFileMode(QFileDialog::Directory);
        dialog->setOption(QFileDialog::ShowDirsOnly, true);
        dialog->setWindowModality(Qt::WindowModal);
        connect(dialog, &QFileDialog::fileSelected, this,
                [this](const QString& folder) { addEntry(folder, true); });
        dialog->open();
    });
    connect(remove_, &QPushButton::clicked, this, [this] {
        int row = list_->currentRow();
        if (row >= 0 && binding_.remove(static_cast<std::size_t>(row))) refresh();
    });
    connect(list_, &QListWidget::currentRowChanged, this,
            [this](int row) { remove_->setEnabled(row >= 0); });
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(caption);
    layout->addWidget(list_);
    layout->addLayout(buttons);
    refresh();
}

void PathListEditor::refresh() {
    QString current = list_->currentItem() ? list_->currentItem()->text() : QString();
    list_->clear();
    for (const auto& entry : binding_.read()) list_->addItem(QString::fromStdString(entry));
    auto same = list_->findItems(current, Qt::MatchExactly);
    if (!current.isEmpty() && !same.isEmpty()) list_->setCurrentItem(same.front());
    remove_->setEnabled(list_->currentRow() >= 0);
}

void PathListEditor::addEntry(const QString& entry, bool folder) {
    QString path = entry;
    if (folder || entry.startsWith(QLatin1Char('/'))) {
        // The folder itself: the search knows folders by what they are, not by a link's name.
        QString canonical = QFileInfo(entry).canonicalFilePath();
        path = canonical.isEmpty() ? QDir::cleanPath(entry) : canonical;
    }
    if (binding_.add(path.toStdString()) && field_ && !folder) field_->clear();
    refresh();
}

}  // namespace quillby
