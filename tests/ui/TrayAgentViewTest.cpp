// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>
#include <QMenu>
#include <QTest>

#include "core/settings/SettingsKeys.h"
#include "core/settings/UserDefaults.h"
#include "monitor/AgentServices.h"
#include "monitor/AppDelegate.h"
#include "monitor/FakeVolumes.h"
#include "monitor/ui/MenuItemView.h"
#include "monitor/ui/TrayAgentView.h"
#include "monitor/ui/VolumePanel.h"
#include "platform/FileViewer.h"
#include "support/TestPlatform.h"
#include "ui/ImageProvider.h"
#include "ui/QtMainQueue.h"

using namespace quillby;

namespace {

// An ejector that takes the volume away, as a real eject does.
struct UnmountingEjector : VolumeEjector {
    std::shared_ptr<FakeVolumeSource> source;
    std::vector<std::int32_t> ejected;
    EjectResult ejectVolume(const VolumeFacts& volume) override {
        ejected.push_back(volume.referenceNumber);
        std::vector<VolumeFacts> rest;
        for (const auto& other : source->mountedVolumes()) {
            if (other.referenceNumber != volume.referenceNumber) rest.push_back(other);
        }
        source->set(rest);
        return {};
    }
};

struct RefusingViewer : FileViewer {
    bool openFolder(const std::string&) override { return false; }
};

// The real tray view, except that its alert runs what a tick inside the alert's own event loop
// would do instead of waiting for a person.
class ViewWithAlert : public TrayAgentView {
  public:
    std::function<void()> duringAlert;
    std::vector<std::string> alerts;
    void alert(const std::string& text) override {
        alerts.push_back(text);
        if (duringAlert) duringAlert();
    }
};

class TrayAgentViewTest : public ::testing::Test {
  protected:
    TrayAgentViewTest() {
        ImageProvider::shared().setUseThemeIcons(false);
        UserDefaults::standardUserDefaults().setInteger(1, SettingsKey::LoginCheck);
        VolumeFacts image = facts(9, "/media/image", 1000, 400);
        image.removable = image.ejectable = true;
        source->set({facts(1, "/", 1000, 500), image});
        ejector->source = source;

        agent = std::make_unique<AppDelegate>(agentServices(source, ejector, viewer), view, queue);
        view.setCommands({.eject = [this](std::int32_t reference) {
            agent->ejectVolume(reference);
            return true;
        }});
        agent->registNSnotification();
        agent->addMainFuction(false);
    }

    MenuItemView* rowTitled(const std::string& title) {
        for (auto* row : view.panel()->rows()) {
            if (row->row().volumeSize == title) return row;
        }
        return nullptr;
    }

    TestPlatform platform;
    QtMainQueue queue;
    ViewWithAlert view;
    std::shared_ptr<FakeVolumeSource> source = std::make_shared<FakeVolumeSource>();
    std::shared_ptr<UnmountingEjector> ejector = std::make_shared<UnmountingEjector>();
    std::shared_ptr<RefusingViewer> viewer = std::make_shared<RefusingViewer>();
    std::unique_ptr<AppDelegate> agent;
};

}  // namespace

// The click's own handler rebuilds the panel; the sanitizers catch any use of a freed row.
TEST_F(TrayAgentViewTest, EjectButtonOfARowRebuildsThePanelWithoutTheVolume) {
    MenuItemView* image = rowTitled("image");
    ASSERT_TRUE(image);
    ASSERT_EQ(view.panel()->rows().size(), 3u);  // "/", the image and memory
    QTest::mouseClick(image, Qt::LeftButton, {}, MenuItemView::buttonRect().center());
    EXPECT_TRUE(QTest::qWaitFor([&] { return view.panel()->rows().size() == 2u; }));
    EXPECT_EQ(ejector->ejected, std::vector<std::int32_t>{9});
    EXPECT_FALSE(rowTitled("image"));
}

TEST_F(TrayAgentViewTest, RowClickSurvivesARebuildDuringItsAlert) {
    view.duringAlert = [this] { agent->refMenuItemWhenDeleteAndAdd(); };
    MenuItemView* image = rowTitled("image");
    ASSERT_TRUE(image);
    QTest::mouseClick(image, Qt::LeftButton, {}, QPoint(100, 25));
    EXPECT_TRUE(QTest::qWaitFor([&] { return !view.alerts.empty(); }));
    EXPECT_EQ(view.alerts.size(), 1u);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(view.panel()->rows().size(), 3u);
}

// Trays that draw the menu themselves never show the QMenu visible: only a changed list of
// volumes may replace its entries, new figures only change their texts.
TEST_F(TrayAgentViewTest, ContextMenuIsRebuiltOnlyWhenItsEntriesChange) {
    QMenu* menu = view.contextMenu();
    ASSERT_FALSE(menu->actions().isEmpty());
    QPointer<QAction> root;
    for (QAction* action : menu->actions()) {
        if (action->text().startsWith(QStringLiteral("/ "))) root = action;
    }
    ASSERT_TRUE(root);
    VolumeFacts image = facts(9, "/media/image", 1000, 400);
    image.removable = image.ejectable = true;
    auto refresh = [this] {
        bool arrived = false;
        agent->refreshVolumes([&] { arrived = true; });
        EXPECT_TRUE(QTest::qWaitFor([&] { return arrived; }));
    };
    source->set({facts(1, "/", 1000, 250), image});
    refresh();
    agent->updateDataForMenuItem();
    ASSERT_TRUE(root);  // the same entry, not a new menu
    EXPECT_TRUE(root->text().contains(QStringLiteral("0.25 KB free")));

    source->set({facts(1, "/", 1000, 250)});
    refresh();
    EXPECT_FALSE(root);
    bool ejectOffered = false;
    for (QAction* action : menu->actions())
        ejectOffered |= action->text().startsWith("Eject \u201c");
    EXPECT_FALSE(ejectOffered);
}
