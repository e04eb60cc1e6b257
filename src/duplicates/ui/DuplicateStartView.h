// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QUrl>
#include <optional>
#include <string>

#include "duplicates/ui/DuplicateViewPage.h"

class QPushButton;
class QVBoxLayout;

namespace quillby {

// The duplicate page's start view: "Select scan path", and a drop target for one folder.
class DuplicateStartView : public DuplicateViewPage {
    Q_OBJECT
  public:
    explicit DuplicateStartView(QWidget* parent = nullptr);

    QPushButton* chooseButton() const { return choose_; }
    // Places the search's options below the button.
    void addOptions(QWidget* options);
    // The folder a drop names: exactly one local, non-empty name of an existing folder;
    // nothing for any other drop.
    static std::optional<std::string> droppedFolder(const QList<QUrl>& urls);

  signals:
    void folderDropped(const QString& folder);

  protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

  private:
    QPushButton* choose_;
    QVBoxLayout* layout_;
};

}  // namespace quillby
