// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>
#include <QAction>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QToolBar>
#include <QVBoxLayout>

#include "core/events/Log.h"
#include "core/settings/SettingsKeys.h"
#include "core/settings/UserDefaults.h"
#include "shell/AppController.h"
#include "shell/PrefsWindowController.h"
#include "support/AccessibleTree.h"
#include "support/ScriptedAsker.h"
#include "support/TestPlatform.h"

using namespace quillby;

namespace {

QWidget* page(int width, int height) {
    auto* widget = new QWidget;
    widget->setFixedSize(width, height);
    return widget;
}

// A window with every feature page but the duplicates one, like a build without that tool.
class Window : public PrefsWindowController {
  protected:
    void setupToolbar() override {
        addView(page(700, 480), "Scan");
        addView(page(700, 500), "disk_usage");
        addView(page(600, 330), "memory");
        addView(page(640, 400), "login_items");
        addView(page(700, 480), "QC_FastClean");
        addView(page(700, 480), "DATA_FastClean");
        addView(nullptr, "");
        addView(page(620, 420), "preferences");
        addView(page(10, 10), "Help");
    }
};

std::int64_t remembered() {
    return UserDefaults::standardUserDefaults().integerForKey(SettingsKey::QWToolbarItem_app);
}

class MainWindowTest : public ::testing::Test {
  protected:
    TestPlatform platform;
};

}  // namespace

TEST_F(MainWindowTest, RemembersThePageAcrossRestartsAndFallsBackWhenItIsMissing) {
    {
        Window window;
        window.showWindow();
        EXPECT_EQ(window.currentIdentifier(), "Scan");
        for (auto [page, item] : {std::pair{"login_items", 4}, {"disk_usage", 2}, {"memory", 3}}) {
            window.toggleActivePreferenceView(page);
            EXPECT_EQ(window.currentIdentifier(), page);
            EXPECT_EQ(remembered(), item) << page;
        }
    }
    Window restarted;
    restarted.showWindow();
    EXPECT_EQ(restarted.currentIdentifier(), "memory");
    EXPECT_TRUE(restarted.toolbarItem("memory")->isChecked());
    // The toolbar has a name, every page's button takes Tab, and Space opens its page.
    auto* toolbar = restarted.findChild<QToolBar*>();
    EXPECT_NE(accessibleDescendant(&restarted, QAccessible::ToolBar, "Pages"), nullptr);
    for (QAction* item : toolbar->actions()) {
        if (item->data().isNull()) continue;  // the spacer and separator
        EXPECT_TRUE(toolbar->widgetForAction(item)->focusPolicy() & Qt::TabFocus);
    }
    QTest::keyClick(toolbar->widgetForAction(restarted.toolbarItem("login_items")), Qt::Key_Space);
    EXPECT_EQ(restarted.currentIdentifier(), "login_items");
    restarted.toggleActivePreferenceView("memory");

    // A remembered page missing from this build (1 is the duplicates page) falls back to the
    // first, and so does a number beyond the pages.
    UserDefaults::standardUserDefaults().setInteger(1, SettingsKey::QWToolbarItem_app);
    restarted.showWindow();
    EXPECT_EQ(restarted.currentIdentifier(), "Scan");
    restarted.toggleActivePreferenceView("memory");
    UserDefaults::standardUserDefaults().setInteger(99, SettingsKey::QWToolbarItem_app);
    restarted.showWindow();
    EXPECT_EQ(restarted.currentIdentifier(), "Scan");
}

// Neither Help nor a feature's sub-page (which has no toolbar item) is remembered as the page.
TEST_F(MainWindowTest, HelpAndSubPagesStoreZeroAndTheFeatureShowsItsCurrentSubPage) {
    Window window;
    QStringList opened;
    window.setHelpAddress("https://example.invalid/help");
    bool opens = true;
    window.setUrlOpener([&](const QString& address) {
        opened << address;
        return opens;
    });
    auto asker = std::make_shared<ScriptedAsker>();
    window.setAsker(asker);
    window.showWindow();
    window.toggleActivePreferenceView("memory");
    window.toggleActivePreferenceView("Help");
    EXPECT_EQ(opened, QStringList{"https://example.invalid/help"});
    EXPECT_TRUE(asker->messages.empty());
    // With no program to open the guide, the window says so instead of doing nothing.
    opens = false;
    window.toggleActivePreferenceView("Help");
    ASSERT_EQ(asker->messages.size(), 1u);
    EXPECT_EQ(asker->messages[0], "The guide could not be opened.");
    EXPECT_EQ(asker->messageDetails[0], "No program here opens https://example.invalid/help.");
    EXPECT_EQ(window.currentIdentifier(), "memory");
    EXPECT_EQ(remembered(), 0);
    window.toggleActivePreferenceView("preferences");
    EXPECT_EQ(window.currentIdentifier(), "preferences");
    EXPECT_EQ(remembered(), 0);

    window.toggleActivePreferenceView("memory");
    window.setView4FastClean(1);
    window.toggleActivePreferenceView("Scan");
    EXPECT_EQ(window.currentIdentifier(), "QC_FastClean");
    EXPECT_EQ(remembered(), 0);
    window.setView4FastClean(2);
    window.toggleActivePreferenceView("Scan");
    EXPECT_EQ(window.currentIdentifier(), "DATA_FastClean");
    EXPECT_EQ(window.toolbarItem("QC_FastClean"), nullptr);
}

TEST_F(MainWindowTest, FadeLastsLongerWithShiftAndTheWindowTakesThePageSizePlusItsToolbar) {
    Window window;
    window.showWindow();
    window.toggleActivePreferenceView("memory");
    EXPECT_EQ(window.lastFadeDuration(), PrefsWindowController::kFadeMs);
    window.toggleActivePreferenceView("login_items", Qt::ShiftModifier);
    EXPECT_EQ(window.lastFadeDuration(), PrefsWindowController::kSlowFadeMs);
    window.setCrossFade(false);
    window.toggleActivePreferenceView("Scan");
    EXPECT_EQ(window.lastFadeDuration(), 0);
    EXPECT_TRUE(window.currentPage()->isVisible());

    window.toggleActivePreferenceView("memory");
    QTest::qWait(20);
    QRect frame = window.frameForView(window.currentPage());
    EXPECT_EQ(frame.width(), 600);
    EXPECT_GT(frame.height(), 330);
    EXPECT_EQ(frame.topLeft(), window.geometry().topLeft());
    EXPECT_EQ(window.geometry().size(), frame.size());
}

// The fade settings change while the window is open (the preferences, the command line): the
// next page switch follows them. Each showing centres the window; closing it is logged.
TEST_F(MainWindowTest, TheProgramsWindowFollowsItsSettingsLive) {
    AppController controller([](PrefsWindowController& window) {
        window.addView(page(700, 480), "Scan");
        window.addView(page(600, 330), "memory");
    });
    auto& defaults = UserDefaults::standardUserDefaults();
    controller.showMainWindow();
    PrefsWindowController& window = controller.window();
    defaults.setBool(false, SettingsKey::fade);
    window.toggleActivePreferenceView("memory");
    EXPECT_EQ(window.lastFadeDuration(), 0);
    defaults.setBool(true, SettingsKey::fade);
    defaults.setBool(false, SettingsKey::shiftSlowsAnimation);
    window.toggleActivePreferenceView("Scan", Qt::ShiftModifier);
    EXPECT_EQ(window.lastFadeDuration(), PrefsWindowController::kFadeMs);

    std::vector<std::string> lines;
    ScopedLogCapture capture([&](std::string_view line) { lines.emplace_back(line); });
    window.close();
    EXPECT_EQ(lines, std::vector<std::string>{"main window will close."});

    window.move(3, 3);
    controller.showMainWindow();
    QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_LE((window.frameGeometry().center() - screen.center()).manhattanLength(), 2);
}

namespace {

// A window whose "login_items" page is laid out with layouts instead of a fixed size.
class FlexibleWindow : public PrefsWindowController {
  protected:
    void setupToolbar() override {
        addView(page(600, 330), "memory");
        auto* flexible = new QWidget;
        auto* layout = new QVBoxLayout(flexible);
        layout->addWidget(new QLabel("A page that grows with the window"));
        layout->addWidget(new QPushButton("Add"));
        addView(flexible, "login_items");
    }
};

}  // namespace

TEST_F(MainWindowTest, APageWithLayoutsFillsTheWindowWhoseSizeIsRemembered) {
    QSize content;
    {
        FlexibleWindow window;
        window.setCrossFade(false);
        window.showWindow();
        window.toggleActivePreferenceView("login_items");
        window.move(120, 80);
        window.resize(window.width() + 90, window.height() + 60);
        QTest::qWait(20);
        content = window.currentPage()->size();
        EXPECT_EQ(content, window.centralWidget()->size());
        window.hide();  // writes the frame at once
    }
    FlexibleWindow again;
    again.setCrossFade(false);
    again.showWindow();
    QTest::qWait(20);
    EXPECT_EQ(again.currentIdentifier(), "login_items");
    QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    // Centred, give or take the rounding of the page's layout.
    EXPECT_LE((again.frameGeometry().center() - screen.center()).manhattanLength(), 8);
    EXPECT_EQ(again.currentPage()->size(), content);

    // A fixed page still sets the window's size.
    again.toggleActivePreferenceView("memory");
    QTest::qWait(20);
    EXPECT_EQ(again.centralWidget()->size(), QSize(600, 330));
}
