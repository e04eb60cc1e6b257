// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

#include "core/events/Subscription.h"

class QCheckBox;
class QComboBox;
class QSpinBox;
class QToolButton;

namespace quillby {

class DuplicateSearchChoices;
class PathListEditor;

// The duplicate search's options on the start view, folded under "More Options" so that the
// start stays one button: the size limit and its unit, hidden files, system folders, what the
// search leaves out and the folders whose copies stay. The stored ones are the preferences'
// own settings: a change here is stored at once, and a change made elsewhere shows here at once.
class DuplicateOptionsView : public QWidget {
    Q_OBJECT
  public:
    explicit DuplicateOptionsView(DuplicateSearchChoices& choices, QWidget* parent = nullptr);

    // The editor of what the search leaves out, as the preferences show it too: bound to
    // `choices` and following every change of the stored options.
    static PathListEditor* excludesEditor(DuplicateSearchChoices& choices, QWidget* parent);

    QToolButton* disclosure() const { return disclosure_; }
    QWidget* panel() const { return panel_; }
    QSpinBox* limitBox() const { return limit_; }
    QComboBox* unitPopUp() const { return unit_; }
    QCheckBox* hiddenBox() const { return hidden_; }
    QCheckBox* systemBox() const { return system_; }
    PathListEditor* excludes() const { return excludes_; }
    PathListEditor* keepIn() const { return keepIn_; }

    // Shows the stored options again.
    void readSettings();

  private:
    DuplicateSearchChoices& choices_;
    QToolButton* disclosure_;
    QWidget* panel_;
    QSpinBox* limit_;
    QComboBox* unit_;
    QCheckBox* hidden_;
    QCheckBox* system_;
    PathListEditor* excludes_;
    PathListEditor* keepIn_;
    Subscription changed_;
};

}  // namespace quillby
