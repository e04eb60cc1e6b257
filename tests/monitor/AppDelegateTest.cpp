// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <mutex>

#include "core/events/EventBus.h"
#include "core/events/Events.h"
#include "core/events/Log.h"
#include "core/settings/SettingsKeys.h"
#include "core/settings/UserDefaults.h"
#include "core/text/LocalizedText.h"
#include "core/work/PlainMainQueue.h"
#include "memory/ClearMemory.h"
#include "monitor/AgentServices.h"
#include "monitor/AgentView.h"
#include "monitor/AppDelegate.h"
#include "monitor/FakeVolumes.h"
#include "monitor/VolumesInfo.h"
#include "monitor/VolumesManager.h"
#include "platform/FileViewer.h"
#include "platform/MemorySource.h"
#include "platform/linux/LinuxProcessLauncher.h"
#include "support/TestPlatform.h"

using namespace quillby;

namespace {

using Type = StatusMenuEntry::Type;

struct RecordingView : AgentView {
    StatusMenu shown;
    int builds = 0, mainWindows = 0;
    std::optional<std::string> image;
    std::string toolTip;
    bool warning = false, hidden = false;
    std::vector<std::string> balloons, alerts;
    std::optional<int> quitStatus;

    void showMenu(const StatusMenu& menu) override {
        shown = menu;
        ++builds;
    }
    void updateMenu(const StatusMenu& menu) override { shown = menu; }
    void removeMenu() override {}
    void cancelMenuTracking() override {}
    void setStatusImage(const std::optional<std::string>& name) override { image = name; }
    void setStatusToolTip(const std::string& text) override { toolTip = text; }
    void updateShowSize(const std::string&, const std::string&) override {}
    void setWarningStatusShowColor(bool on) override { warning = on; }
    void setStatusItemHidden(bool on) override { hidden = on; }
    void showBalloon(const std::vector<std::string>& lines, bool) override {
        balloons.push_back(lines.at(0));
    }
    void showMainWindow() override { ++mainWindows; }
    void showMainWindowPage(const std::string&) override {}
    void showAbout() override {}
    void alert(const std::string& text) override { alerts.push_back(text); }
    void quit(int status) override { quitStatus = status; }
};

struct FakeViewer : FileViewer {
    std::atomic<bool> accept{true};
    bool openFolder(const std::string&) override { return accept; }
};

// A file manager or an ejector that answers only once the test lets it (or after 20 s), and
// says whether its caller had moved on by then.
struct Gate {
    std::mutex mutex;
    std::condition_variable opened;
    bool open = false;
    bool waitedForCaller = false;
    void release() {
        std::lock_guard lock(mutex);
        open = true;
        opened.notify_all();
    }
    void pass() {
        std::unique_lock lock(mutex);
        waitedForCaller = opened.wait_for(lock, std::chrono::seconds(20), [&] { return open; });
    }
};

struct SlowViewer : FileViewer {
    Gate gate;
    bool openFolder(const std::string&) override {
        gate.pass();
        return false;
    }
};

struct SlowEjector : VolumeEjector {
    Gate gate;
    EjectResult ejectVolume(const VolumeFacts&) override {
        gate.pass();
        return {};
    }
};

VolumeFacts kind(std::int32_t ref, const std::string& root, const char* what) {
    VolumeFacts volume = facts(ref, root, 1000, 500);
    std::string k = what;
    volume.network = k == "network";
    volume.optical = k == "optical";
    volume.externalBus = k == "external";
    volume.removable = k == "image";
    volume.ejectable = k != "local";
    return volume;
}

// The menu's entry of that type; without one the test fails instead of crashing.
StatusMenuEntry entryOf(const StatusMenu& menu, Type type) {
    auto it = std::find_if(menu.begin(), menu.end(), [type](auto& e) { return e.type == type; });
    if (it != menu.end()) return *it;
    ADD_FAILURE() << "the menu has no entry of type " << static_cast<int>(type);
    return {};
}

std::vector<Type> typesOf(const StatusMenu& menu) {
    std::vector<Type> types;
    for (const auto& entry : menu) types.push_back(entry.type);
    return types;
}

class AgentTest : public ::testing::Test {
  protected:
    AgentTest() {
        UserDefaults::standardUserDefaults().setInteger(1, SettingsKey::LoginCheck);
        source->set({facts(1, "/", 1000, 500)});
    }
    std::unique_ptr<AppDelegate> agent() { return agent(agentServices(source, ejector, viewer)); }
    std::unique_ptr<AppDelegate> agent(const AppDelegate::Services& services) {
        auto delegate = std::make_unique<AppDelegate>(services, view, queue);
        delegate->registNSnotification();
        delegate->addMainFuction(false);
        refresh(*delegate);  // the first list has arrived too
        return delegate;
    }
    // A tick: the volumes enumerated on a worker, their list shown once it arrived.
    void refresh(AppDelegate& delegate) {
        bool arrived = false;
        delegate.refreshVolumes([&] { arrived = true; });
        EXPECT_TRUE(queue.runUntil([&] { return arrived; }));
    }

    TestPlatform platform;
    PlainMainQueue queue;
    RecordingView view;
    std::shared_ptr<FakeVolumeSource> source = std::make_shared<FakeVolumeSource>();
    std::shared_ptr<FakeEjector> ejector = std::make_shared<FakeEjector>();
    std::shared_ptr<FakeViewer> viewer = std::make_shared<FakeViewer>();
};

}  // namespace

TEST_F(AgentTest, MenuGroupsVolumesByKindWithHeadersThenMemoryAndCommands) {
    source->set({kind(7, "/media/net", "network"), facts(1, "/", 1000, 500),
                 kind(3, "/media/usb", "external"), kind(9, "/media/img", "image"),
                 kind(4, "/media/dvd", "optical")});
    auto delegate = agent();
    const StatusMenu& menu = *delegate->menu();
    EXPECT_EQ(
        typesOf(menu),
        (std::vector<Type>{Type::Header,      Type::Row,       Type::Header,    Type::Row,
                           Type::Header,      Type::Row,       Type::Header,    Type::Row,
                           Type::Header,      Type::Row,       Type::Header,    Type::Row,
                           Type::Separator,   Type::EjectAll,  Type::Separator, Type::FastClean,
                           Type::Scan,        Type::FreeSpace, Type::Uninstall, Type::MainWindow,
                           Type::Preferences, Type::About,     Type::Separator, Type::Quit}));
    std::vector<std::uint32_t> headers;
    std::vector<std::string> titles;
    for (const auto& entry : menu) {
        if (entry.type == Type::Header) headers.push_back(entry.headerKind);
        if (entry.type == Type::Row) titles.push_back(entry.title);
    }
    EXPECT_EQ(headers, (std::vector<std::uint32_t>{0, 1, 2, 3, 4, 5}));
    EXPECT_EQ(titles, (std::vector<std::string>{"1", "3", "4", "7", "9", "5"}));
    EXPECT_TRUE(menu[13].enabled);
    EXPECT_EQ(menu[1].row.errorValue, "10");  // SpaceAlarm 0.1 as a whole percent
    EXPECT_EQ(menu[11].row.volumeSize, "Memory");
    EXPECT_EQ(menu[11].row.nTotalSize, 8000000000u);  // the memory text read back
    EXPECT_EQ(view.toolTip, "/\nTotal Size:1.00 KB\nFree Space:0.50 KB");
}

TEST_F(AgentTest, EjectAllIsDisabledWithOnlyLocalVolumes) {
    source->set({facts(1, "/"), facts(2, "/home")});
    auto delegate = agent();
    EXPECT_FALSE(entryOf(*delegate->menu(), Type::EjectAll).enabled);
    delegate->rejestAllDisk();
    EXPECT_TRUE(queue.runUntil([&] { return !view.balloons.empty(); }));
    EXPECT_EQ(view.balloons, std::vector<std::string>{localizedString("NO_HAVE_REMOVABLE")});
}

TEST_F(AgentTest, TickRebuildsOnlyWhenTheCountChangesAndRefreshesFigures) {
    auto delegate = agent();
    int posted = 0;
    auto subscription = EventBus::defaultCenter().observe(Events::updateNewDiskSizeView,
                                                          [&](const Event&) { ++posted; });
    int builds = view.builds;
    source->set({facts(1, "/", 1000, 300)});
    refresh(*delegate);
    EXPECT_EQ(view.builds, builds);  // same count: no rebuild
    EXPECT_EQ(findMenuItem(const_cast<StatusMenu&>(*delegate->menu()), "1")->row.nFreeSize, 300u);
    EXPECT_EQ(posted, 1);

    source->set({facts(1, "/", 1000, 300), kind(5, "/media/usb", "external")});
    refresh(*delegate);
    EXPECT_EQ(view.builds, builds + 1);
    EXPECT_EQ(delegate->previousCount(), 2u);

    source->set({});
    refresh(*delegate);  // rebuilt for the new count, then nothing else
    EXPECT_EQ(view.builds, builds + 2);
    EXPECT_EQ(posted, 2);
    delegate->updateDataForMenuItem();
    EXPECT_EQ(posted, 2);
}

TEST_F(AgentTest, BootVolumeAtTheAlarmShowsTheWarning) {
    source->set({facts(1, "/", 1000, 100)});  // exactly 10 % free
    auto delegate = agent();
    EXPECT_EQ(view.image, "90%-1.png");
    delegate->updateDataForMenuItem();
    EXPECT_TRUE(view.warning);
    source->set({facts(1, "/", 1000, 110)});
    refresh(*delegate);
    EXPECT_FALSE(view.warning);
}

// Mount ID 5 titles a volume row "5", like the memory row: each keeps its own figures, and the
// memory row cycles through "Freeing..." back to "Memory".
TEST_F(AgentTest, AVolumeNumberedFiveAndTheMemoryRowStayApart) {
    source->set({facts(1, "/", 1000, 500), facts(5, "/media/disk", 4000, 1000)});
    auto delegate = agent();
    delegate->updateDataForMenuItem();
    auto& menu = const_cast<StatusMenu&>(*delegate->menu());
    ASSERT_TRUE(findMenuItem(menu, "5"));
    EXPECT_EQ(findMenuItem(menu, "5")->row.volumeSize, "disk");
    EXPECT_EQ(findMenuItem(menu, "5")->row.u64TotalSpace, "4.00 KB");
    ASSERT_TRUE(findMemoryRow(menu));
    EXPECT_EQ(findMemoryRow(menu)->row.volumeSize, "Memory");
    EXPECT_EQ(findMemoryRow(menu)->row.u64TotalSpace, "8.00 GB");

    EventBus::defaultCenter().post(Events::cleanMemoryClickAction);
    findMemoryRow(menu)->row.volumeSize = "Freeing...";  // the row's purge button did this
    delegate->updateDataForMenuItem();
    EXPECT_EQ(findMemoryRow(const_cast<StatusMenu&>(*delegate->menu()))->row.volumeSize, "Memory");
}

TEST_F(AgentTest, MountEventsShowABalloonAndRebuild) {
    auto delegate = agent();
    int builds = view.builds, sizeViews = 0;
    auto subscription = EventBus::defaultCenter().observe(Events::updateSizeView,
                                                          [&](const Event&) { ++sizeViews; });
    source->set({facts(1, "/"), kind(5, "/media/usb", "external")});
    EventBus::defaultCenter().post(
        Events::QWVolumeMount, {},
        {{EventKeys::NSWorkspaceVolumeLocalizedNameKey, std::string("USB")}});
    EventBus::defaultCenter().post(Events::QWVolumeUnmount);
    EXPECT_EQ(view.balloons, (std::vector<std::string>{"USB is mounted successfully!",
                                                       "You disk is unmounted successfully!"}));
    EXPECT_EQ(view.builds, builds + 2);
    EXPECT_EQ(sizeViews, 2);
}

TEST_F(AgentTest, HiddenStatusItemToggledTwiceAndOtherCommands) {
    auto delegate = agent();
    EventBus::defaultCenter().post(Events::setStatusBarHidden, true);
    EXPECT_TRUE(view.hidden);
    EventBus::defaultCenter().post(Events::setStatusBarHidden, false);
    EXPECT_FALSE(view.hidden);

    viewer->accept = false;
    EventBus::defaultCenter().post(Events::openFinderWhenClickItems, std::string("/media/usb"));
    EXPECT_TRUE(queue.runUntil([&] { return !view.alerts.empty(); }));
    EXPECT_EQ(view.alerts, std::vector<std::string>{localizedString("CANNOT_OPEN_FINDER")});
    delegate->quit();
    EXPECT_EQ(view.quitStatus, 1);
    EXPECT_EQ(view.mainWindows, 0);  // started at login: no window
}

// "Fast Clean" is off from the opening of a quick clean until its window asked to close, and
// the window is released only after the call that asked has returned.
TEST_F(AgentTest, FastCleanIsOffWhileAQuickCleanRuns) {
    int opened = 0;
    int closed = 0;
    auto services = agentServices(source, ejector, viewer);
    services.openCleanWindow = [&] { ++opened; };
    services.closeCleanWindow = [&] { ++closed; };
    auto delegate = agent(services);
    auto fastClean = [&] { return entryOf(*delegate->menu(), Type::FastClean); };
    EXPECT_EQ(fastClean().title, "Fast Clean");
    EXPECT_TRUE(fastClean().enabled);
    delegate->cleaningFile();
    delegate->cleaningFile();  // a second click while one runs does nothing
    EXPECT_EQ(opened, 1);
    EXPECT_FALSE(delegate->isCanBeAction());
    EXPECT_FALSE(fastClean().enabled);
    EventBus::defaultCenter().post(Events::ShouldCloseWindow);
    EXPECT_EQ(closed, 0);
    queue.drain();
    EXPECT_EQ(closed, 1);
    EXPECT_TRUE(fastClean().enabled);
    delegate->cleaningFile();
    EXPECT_EQ(opened, 2);
}

// The window opens once the first volume list, enumerated on a worker, has arrived: its pages
// are built from it.
TEST_F(AgentTest, WindowOpensAtStartUnlessStartedAtLoginOnceTheVolumesAreListed) {
    UserDefaults::standardUserDefaults().setInteger(0, SettingsKey::LoginCheck);
    auto services = agentServices(source, ejector, viewer);
    source->hold(true);
    services.volumes = std::make_shared<VolumesInfo>(source, VolumesInfo::FirstList::ByRefresh);
    AppDelegate delegate(services, view, queue);
    delegate.addMainFuction(false);
    EXPECT_EQ(view.mainWindows, 0);
    EXPECT_EQ(delegate.previousCount(), 0u);
    source->hold(false);
    EXPECT_TRUE(queue.runUntil([&] { return view.mainWindows == 1; }));
    EXPECT_EQ(delegate.previousCount(), 1u);
    EXPECT_TRUE(source->listedOffThisThread());
}

TEST_F(AgentTest, TickThreadHandsEachTickToTheMainThread) {
    auto delegate = agent();
    delegate->setTickInterval(20);
    int ticks = 0;
    std::thread::id ranOn;
    auto subscription =
        EventBus::defaultCenter().observe(Events::updateNewDiskSizeView, [&](const Event&) {
            ++ticks;
            ranOn = std::this_thread::get_id();
        });
    delegate->beginTimer();
    ASSERT_TRUE(queue.runUntil([&] { return ticks >= 3; }));
    delegate->stopTimer();
    EXPECT_EQ(ranOn, std::this_thread::get_id());
    EXPECT_TRUE(source->listedOffThisThread());  // the statvfs of each tick
    queue.drain();                               // a tick queued before the stop does nothing now
}

// The main thread never waits for the file manager or an eject: the calls return while the
// other program is still busy, and their outcome arrives later on the main queue.
TEST_F(AgentTest, EjectAndOpeningAFolderNeverWaitOnTheMainThread) {
    auto slowViewer = std::make_shared<SlowViewer>();
    auto slowEjector = std::make_shared<SlowEjector>();
    VolumeFacts usb = kind(3, "/media/usb", "external");
    source->set({facts(1, "/"), usb});
    AppDelegate delegate(agentServices(source, slowEjector, slowViewer), view, queue);
    delegate.addMainFuction(false);
    int builds = view.builds;

    delegate.openFinderWhenClickItems("/media/usb");
    slowViewer->gate.release();
    EXPECT_TRUE(queue.runUntil([&] { return !view.alerts.empty(); }));
    EXPECT_TRUE(slowViewer->gate.waitedForCaller);

    delegate.ejectVolume(3);
    slowEjector->gate.release();
    EXPECT_TRUE(queue.runUntil([&] { return view.builds > builds; }));
    EXPECT_TRUE(slowEjector->gate.waitedForCaller);
}

TEST_F(AgentTest, AFailedEjectSaysWhyInAnAlert) {
    source->set({facts(1, "/"), kind(3, "/media/usb", "external")});
    ejector->failing = {3};
    auto delegate = agent();
    delegate->ejectVolume(3);
    EXPECT_TRUE(queue.runUntil([&] { return !view.alerts.empty(); }));
    EXPECT_EQ(view.alerts,
              std::vector<std::string>{"Could not eject usb (/media/usb): the disk is busy."});
}

TEST_F(AgentTest, AnEjectInTheBackgroundPastItsDeadlineReportsFailureAndLogsIt) {
    source->set({kind(3, "/media/usb", "external")});
    auto slowEjector = std::make_shared<SlowEjector>();
    VolumesManager manager(source, slowEjector, nullptr);
    manager.setDeadlines(std::chrono::milliseconds(50), std::chrono::milliseconds(50));
    std::vector<std::string> lines;
    ScopedLogCapture capture([&](std::string_view line) { lines.emplace_back(line); });
    std::optional<bool> ejected;
    manager.ejectSingleVolumeInBackground(
        3, queue, [&](bool result, const std::string&) { ejected = result; });
    EXPECT_TRUE(queue.runUntil([&] { return ejected.has_value(); }));
    EXPECT_EQ(ejected, false);
    slowEjector->gate.release();  // the eject itself finishes later, unobserved
    EXPECT_EQ(lines, std::vector<std::string>{"Eject the volume 3 did not finish in time"});
}
