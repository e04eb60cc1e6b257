// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>
#include <functional>
#include <vector>

#include "monitor/StatusMenu.h"

class QLabel;
class QPushButton;
class QVBoxLayout;

namespace quillby {

class MenuItemView;

// The tray's volume panel: the status menu as widgets. A status line with the boot volume's
// free space, grey group headers, one row per volume and the memory row, then "Eject All",
// "Fast Clean", "Scan", "Free Space", "Uninstall", "Main Window", "Preferences…", "About Quillby
// Pro" and "Quit Quillby Pro".
class VolumePanel : public QWidget {
    Q_OBJECT
  public:
    struct Actions {
        std::function<bool(std::int32_t)> eject;  // one volume, by reference number
        std::function<void()> ejectAll;
        std::function<void()> mainWindow;
        std::function<void()> quit;
        // Fast Clean, Scan, Free Space, Uninstall, Preferences… and About.
        std::function<void(StatusMenuEntry::Type)> command;
    };

    explicit VolumePanel(Actions actions, QWidget* parent = nullptr);

    // Rebuilds the widgets for a new menu.
    void showMenu(const StatusMenu& menu);
    // Gives the existing rows their new figures.
    void updateMenu(const StatusMenu& menu);
    // The boot volume's texts for the status line, in the alarm colour when `warning`.
    void updateShowSize(const QString& freeText, const QString& totalText);
    void setWarning(bool warning);

    const std::vector<MenuItemView*>& rows() const { return rows_; }
    QPushButton* ejectAllButton() const { return ejectAll_; }
    QPushButton* fastCleanButton() const { return fastClean_; }
    QLabel* statusLine() const { return status_; }

  private:
    void refreshStatusLine();

    Actions actions_;
    QVBoxLayout* layout_;
    QLabel* status_;
    QPushButton* ejectAll_ = nullptr;
    QPushButton* fastClean_ = nullptr;
    std::vector<MenuItemView*> rows_;
    std::vector<QWidget*> built_;
    QString freeText_, totalText_;
    bool warning_ = false;
};

}  // namespace quillby
