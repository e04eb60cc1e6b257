// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>
#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "core/events/Subscription.h"

class QLineEdit;
class QListWidget;
class QPushButton;

namespace quillby {

// A short list of folders (and, where it has a placeholder, typed names or patterns) with Add,
// Choose Folder and Remove: what searches and scans leave out, which folders keep copies. It keeps
// no list of its own: `read` gives the entries, `add` and `remove` change them, and refresh() shows
// them again after someone else changed them.
class PathListEditor : public QWidget {
    Q_OBJECT
  public:
    struct Texts {
        QString caption;      // above the list, and the list's name for screen readers
        QString dialogTitle;  // the folder dialog's
        QString placeholder;  // the typing field's; no field when empty
    };
    struct Binding {
        std::function<std::vector<std::string>()> read;
        std::function<bool(const std::string&)> add;
        std::function<bool(std::size_t)> remove;
    };
    PathListEditor(const Texts& texts, Binding binding, QWidget* parent = nullptr);

    void refresh();
    // Keeps `changes` (an observation that calls refresh()) for the editor's life.
    void follow(Subscription changes) { changes_ = std::move(changes); }
    // What a chosen folder or a typed entry does: it is added (the folder itself, not a
    // link's name for it) and the list shown again.
    void addEntry(const QString& entry, bool folder);

    QListWidget* list() const { return list_; }
    QLineEdit* field() const { return field_; }
    QPushButton* addButton() const { return add_; }
    QPushButton* chooseButton() const { return choose_; }
    QPushButton* removeButton() const { return remove_; }

  private:
    Binding binding_;
    QString dialogTitle_;
    QListWidget* list_;
    QLineEdit* field_ = nullptr;
    QPushButton* add_ = nullptr;
    QPushButton* choose_;
    QPushButton* remove_;
    Subscription changes_;
};

}  // namespace quillby
