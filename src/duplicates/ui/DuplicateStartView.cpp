// SPDX-License-Identifier: GPL-3.0-or-later
#include "duplicates/ui/DuplicateStartView.h"

#include <sys/stat.h>

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QLabel>
#include <QMimeData>
#include <QPushButton>
#include <QVBoxLayout>

namespace quillby {

DuplicateStartView::DuplicateStartView(QWidget* parent)
    : DuplicateViewPage(parent), choose_(new QPushButton(tr("Select scan path"), this)) {
    setAccessibleName(tr("Duplicates"));
    setAcceptDrops(true);
    QLabel* title = heading(tr("Find duplicate files"), 1.6);
    auto* hint = new QLabel(
        tr("Choose a folder, or drop one here.\nFiles with the same content are grouped by kind;\n"
           "you pick the copies to remove, and one copy of each always stays."),
        this);
    choose_->setToolTip(tr("Select scan path"));
    choose_->setAccessibleName(tr("Select scan path"));
    layout_ = new QVBoxLayout(this);
    layout_->addStretch(2);
    layout_->addWidget(title, 0, Qt::AlignHCenter);
    layout_->addWidget(hint, 0, Qt::AlignHCenter);
    layout_->addSpacing(fontMetrics().height());
    layout_->addWidget(choose_, 0, Qt::AlignHCenter);
    layout_->addStretch(3);
    hint->setAlignment(Qt::AlignCenter);
}

void DuplicateStartView::addOptions(QWidget* options) {
    // Below the button, above the last stretch: opened, the options push the start up.
    layout_->insertWidget(layout_->count() - 1, options);
}

std::optional<std::string> DuplicateStartView::droppedFolder(const QList<QUrl>& urls) {
    if (urls.size() != 1 || !urls.front().isLocalFile()) return std::nullopt;
    std::string path = urls.front().toLocalFile().toStdString();
    struct stat status {};
    if (path.empty() || ::stat(path.c_str(), &status) != 0 || !S_ISDIR(status.st_mode)) {
        return std::nullopt;
    }
    return path;
}

void DuplicateStartView::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls() && droppedFolder(event->mimeData()->urls())) {
        event->acceptProposedAction();
    }
}

void DuplicateStartView::dropEvent(QDropEvent* event) {
    auto folder = droppedFolder(event->mimeData()->urls());
    if (!folder) return;
    event->acceptProposedAction();
    emit folderDropped(QString::fromStdString(*folder));
}

}  // namespace quillby
