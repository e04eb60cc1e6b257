#include "shell/AppController.h"

#include "core/SettingsKeys.h"
#include "core/UserDefaults.h"
#include "shell/PrefsWindowController.h"

namespace {

// The main window with the program's pages.
class AppPrefsWindowController : public PrefsWindowController {
  public:
    explicit AppPrefsWindowController(AppController::PageSetup setup) : setup_(std::move(setup)) {}

  protected:
    void setupToolbar() override {
        if (setup_) setup_(*this);
    }

  private:
    AppController::PageSetup setup_;
};

}  // namespace

AppController::AppController(PageSetup setupToolbar)
    : window_(std::make_unique<AppPrefsWindowController>(std::move(setupToolbar))) {
    registerDefaultsOnce(UserDefaults::standardUserDefaults(), SettingRegistrar::MainWindow);
}

AppController::~AppController() = default;

void AppController::showMainWindow() {
    // The settings may have changed in another process (the command line); read them afresh.
    auto& defaults = UserDefaults::standardUserDefaults();
    window_->setCrossFade(defaults.boolForKey(SettingsKey::fade));
    window_->setShiftSlowsAnimation(defaults.boolForKey(SettingsKey::shiftSlowsAnimation));
    window_->showWindow();
}

PrefsWindowController& AppController::window() {
    return *window_;
}
