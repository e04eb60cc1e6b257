// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/apps/AppItems.h"
#include "core/events/Observable.h"
#include "core/work/BackgroundJob.h"
#include "core/work/MainQueue.h"
#include "loginitems/LoginItemDropRules.h"
#include "platform/ChangeWatch.h"

namespace quillby {

// The login-items page without its widgets: the records shown, and what the page's buttons,
// check boxes and drops do to them and to the user's list. Every operation runs on the main
// thread. Each row remembers which item of the list it shows, so that removing or hiding a row
// changes that item even when several items start the same program.
class LoginItemController {
  public:
    // Reads the list, and rebuilds it on `mainQueue` whenever it changes from outside.
    explicit LoginItemController(MainQueue& mainQueue);
    ~LoginItemController();
    LoginItemController(const LoginItemController&) = delete;
    LoginItemController& operator=(const LoginItemController&) = delete;

    // The records shown, announced on every change.
    Observable<std::vector<AppItems>> allLoginItemsInfo;

    // Replaces the records with the list's items, leaving out those reported missing ("msng").
    void updateLoginItemsList();

    // Adds each chosen file, not hidden, in order (the open panel's "Choose"), then shows the
    // list as it now is. Files that cannot be added are logged and not shown.
    void addLoginItems(const std::vector<std::string>& paths);

    // Removes the row's item from the list; false (nothing changes) when that fails. Removing
    // the program's own item turns its launch-at-login switch off.
    bool delLoginItem(std::size_t row);

    // Turns the row's item on or off at login. When its file is gone the list is rebuilt first,
    // and nothing changes if that changed the number of rows. The record's mark flips only when
    // the list took the change.
    bool changeHideState(std::size_t row);

    // The same two changes in two halves, so that a page writes and deletes away from its GUI
    // thread: the row's entry (its identifier, on the main thread), the change itself (safe on a
    // worker: it touches only the entries on disk), then the list following it (main thread).
    std::optional<std::string> identifierAt(std::size_t row) const;
    static bool removeLoginItemWithIdentifier(const std::string& identifier);
    // The entry's new hidden flag, or nothing when it could not be changed.
    static std::optional<bool> flipHiddenWithIdentifier(const std::string& identifier);
    void loginItemRemoved(const std::string& identifier);
    void hiddenChanged(const std::string& identifier, bool hidden);

    // Applies a drop at `row`: dragged rows are reordered on the page only (the next rebuild
    // restores the list's order), files are added like chosen ones, plain text is logged as
    // "zStringData =%@". False for a type the list does not accept.
    bool acceptDrop(const LoginItemDrop& drop, std::size_t row);

    // The highlighted row (-1 for none).
    int highlightedRow() const { return highlightedRow_; }
    void selectRow(int row) { highlightedRow_ = row; }

  private:
    JobOwner owner_;
    std::vector<std::string> rowIdentifiers_;
    int highlightedRow_ = -1;
    std::unique_ptr<ChangeWatch> watch_;
};

}  // namespace quillby
