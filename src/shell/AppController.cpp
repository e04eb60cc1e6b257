// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/AppController.h"

#include "core/settings/SettingsKeys.h"
#include "core/settings/UserDefaults.h"
#include "shell/PrefsWindowController.h"

namespace quillby {

namespace {

// The main window with the program's pages.
class AppPrefsWindowController : public PrefsWindowController {
  public:
    explicit AppPrefsWindowController(AppController::PageSetup setup) : setup_(std::move(setup)) {}

  protected:
    void setupToolbar() override {
        if (setup_) setup_(*this);
    }
    void willSwitchPage() override { AppController::applyFadeSettings(*this); }

  private:
    AppController::PageSetup setup_;
};

}  // namespace

AppController::AppController(PageSetup setupToolbar)
    : window_(std::make_unique<AppPrefsWindowController>(std::move(setupToolbar))) {
    registerDefaultsOnce(UserDefaults::standardUserDefaults(), SettingRegistrar::MainWindow);
}

AppController::~AppController() = default;

void AppController::applyFadeSettings(PrefsWindowController& window) {
    // The settings may change at any time, also in another process (the command line).
    auto& defaults = UserDefaults::standardUserDefaults();
    window.setCrossFade(defaults.boolForKey(SettingsKey::fade));
    window.setShiftSlowsAnimation(defaults.boolForKey(SettingsKey::shiftSlowsAnimation));
}

void AppController::showMainWindow() {
    applyFadeSettings(*window_);
    window_->showWindow();
    window_->centreOnScreen();
}

void AppController::showPage(const QString& identifier) {
    // Showing first builds the pages the item switches to.
    showMainWindow();
    window_->toggleActivePreferenceView(identifier);
}

PrefsWindowController& AppController::window() {
    return *window_;
}

}  // namespace quillby
