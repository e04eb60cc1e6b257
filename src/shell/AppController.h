// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <functional>
#include <memory>

namespace quillby {

class PrefsWindowController;

// Owns the main window: registers its settings ("fade", "shiftSlowsAnimation"), builds its pages
// through `setupToolbar` at the first showing, and applies the fade settings as they are when it
// shows and when it switches pages.
class AppController : public QObject {
    Q_OBJECT
  public:
    using PageSetup = std::function<void(PrefsWindowController&)>;

    explicit AppController(PageSetup setupToolbar);
    ~AppController() override;

    // Shows the window on its remembered page, centred.
    void showMainWindow();
    // Shows the window on the page of a toolbar item, as a click on that item does.
    void showPage(const QString& identifier);
    PrefsWindowController& window();
    // Gives the window the stored "fade" and "shiftSlowsAnimation".
    static void applyFadeSettings(PrefsWindowController& window);

  private:
    std::unique_ptr<PrefsWindowController> window_;
};

}  // namespace quillby
