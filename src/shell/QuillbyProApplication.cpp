// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/QuillbyProApplication.h"

#include <QApplication>
#include <QDir>
#include <QKeySequence>
#include <QPointer>
#include <QShortcut>
#include <QUrl>
#include <QWidget>
#include <filesystem>

#include "clean/CategoryFolders.h"
#include "clean/VolumeListInternalVolumes.h"
#include "clean/ui/CleanSysWindow.h"
#include "clean/ui/SystemCleanView.h"
#include "core/events/EventBus.h"
#include "core/events/Events.h"
#include "core/text/LocalizedText.h"
#include "core/work/PrivilegedAuthorization.h"
#include "diskusage/ScanHistory.h"
#include "diskusage/ui/DiskUsageColumnBrowserToolPane.h"
#include "diskusage/ui/DiskUsagePathListPage.h"
#include "diskusage/ui/DiskUsageProgressPage.h"
#include "diskusage/ui/DiskUsageTool.h"
#include "duplicates/ui/DuplicatesPage.h"
#include "loginitems/AppInformation.h"
#include "loginitems/ui/LoginItemsPage.h"
#include "memory/CleanMemoryModel.h"
#include "memory/ClearMemory.h"
#include "memory/ui/CleanMemoryController.h"
#include "monitor/AppDelegate.h"
#include "monitor/UpdateChecker.h"
#include "monitor/VolumeMenuModel.h"
#include "monitor/VolumesInfo.h"
#include "monitor/VolumesManager.h"
#include "monitor/WatchMountUnmount.h"
#include "monitor/ui/DiskSizeView.h"
#include "monitor/ui/TrayAgentView.h"
#include "platform/FileViewer.h"
#include "platform/PackageUpdateService.h"
#include "platform/Services.h"
#include "shell/AppController.h"
#include "shell/FastCleanPage.h"
#include "shell/PreferencesPane.h"
#include "shell/PrefsWindowController.h"
#include "shell/SingleInstance.h"
#include "shell/WindowPageHost.h"
#include "sysinfo/ComputerInfoRows.h"
#include "sysinfo/MachineFacts.h"
#include "sysinfo/ui/MyComputerPage.h"
#include "ui/QtMainQueue.h"
#include "ui/WindowModalAsker.h"
#include "ui/WindowStyle.h"
#include "uninstall/ui/UninstallAppsPage.h"

namespace quillby {

namespace {

// The guide installed with the program, else the one of the source tree it was built from.
QString helpAddress() {
    for (const char* guide : {QUILLBY_INSTALLED_GUIDE, QUILLBY_SOURCE_GUIDE}) {
        if (std::filesystem::exists(guide)) {
            return QUrl::fromLocalFile(QString::fromUtf8(guide)).toString();
        }
    }
    return QStringLiteral("https://quillby.pro/help");
}

}  // namespace

QuillbyProApplication::QuillbyProApplication() : queue_(std::make_unique<QtMainQueue>()) {}

QuillbyProApplication::~QuillbyProApplication() {
    subscriptions_.clear();
    updates_.reset();
    agent_.reset();        // stops the tick before the view and the window go
    cleanWindow_.reset();  // joins its worker while the queue it posts to exists
}

bool QuillbyProApplication::start() {
    instance_ = std::make_unique<SingleInstance>(
        QString::fromStdString(Services::context().runtimeDir.string()));
    if (!instance_->becomePrimary()) return false;
    if (auto* application = qobject_cast<QApplication*>(QCoreApplication::instance())) {
        WindowStyle::apply(*application);
    }

    // Listed on a worker by the agent's first refresh; the window opens once it has arrived.
    volumes_ = std::make_shared<VolumesInfo>(nullptr, VolumesInfo::FirstList::ByRefresh);
    manager_ = std::make_shared<VolumesManager>();
    view_ = std::make_unique<TrayAgentView>();
    appController_ = std::make_unique<AppController>(
        [this](PrefsWindowController& window) { setupPages(window); });

    AppDelegate::Services services;
    services.volumes = volumes_;
    services.manager = manager_;
    services.makeWatcher = [] { return std::make_unique<WatchMountUnmount>(); };
    services.openCleanWindow = [this] {
        auto folders = std::make_shared<CategoryFolders>(
            Services::context(), std::make_shared<VolumeListInternalVolumes>());
        cleanWindow_ = std::make_unique<CleanSysWindow>(
            CleanSysController::Options{
                .folders = [folders](int id) { return folders->cleanFolders(id); },
                .mainQueue = queue_.get(),
                .deleteOptions = {.authorization =
                                      &PrivilegedAuthorization::sharedAuthorization()}},
            [this](const std::vector<std::string>& lines, bool error) {
                view_->showBalloon(lines, error);
            });
        cleanWindow_->resetStatus();
    };
    services.closeCleanWindow = [this] { cleanWindow_.reset(); };
    agent_ = std::make_unique<AppDelegate>(services, *view_, *queue_);
    updates_ = std::make_unique<UpdateChecker>(
        Services::get<PackageUpdateService>(), *queue_,
        [this](const std::string& version) { view_->announceUpdate(version); });

    TrayAgentView::Commands commands;
    commands.eject = [this](std::int32_t reference) {
        agent_->ejectVolume(reference);
        return true;  // started; the menu is rebuilt when it is done
    };
    commands.ejectAll = [this] { agent_->rejestAllDisk(); };
    commands.fastClean = [this] { agent_->cleaningFile(); };
    commands.scan = [this] { agent_->onClickScan(); };
    commands.freeSpace = [this] { agent_->onClickFree(); };
    commands.uninstall = [this] { agent_->onClickUninstall(); };
    commands.showMainWindow = [this] { agent_->showMainWindow(); };
    commands.preferences = [this] { agent_->initSettingWindow(); };
    commands.about = [this] { agent_->AboutFunCall(); };
    commands.quit = [this] { agent_->quit(); };
    commands.openWindow = [this] { appController_->showMainWindow(); };
    commands.openPage = [this](const QString& page) { appController_->showPage(page); };
    view_->setCommands(commands);
    connect(instance_.get(), &SingleInstance::reopenRequested, this,
            [this] { agent_->showMainWindow(); });

    agent_->registNSnotification();
    agent_->addMainFuction();
    updates_->start();
    // Without a tray the window is the only way in, whatever the login setting says.
    if (!TrayAgentView::trayAvailable() && !appController_->window().isVisible())
        agent_->showMainWindow();
    return true;
}

DiskUsageTool* QuillbyProApplication::makeDiskUsageTool(PrefsWindowController& window,
                                                        const PageNeeds& needs) {
    DiskUsageTool::Options options;
    options.environment.userName =
        qEnvironmentVariable("USER", QDir::home().dirName()).toStdString();
    options.environment.homeFolder = Services::context().home.string();
    options.environment.volumes = volumes_->facts();  // the agent's list: no enumeration here
    options.environment.keptScans = ScanHistory::defaultFolder(Services::context());
    // The tool's questions, the column browser's too, are sheets of the window.
    PageNeeds toolNeeds = needs;
    toolNeeds.asker = std::make_shared<WindowModalAsker>(&window);
    options.columnBrowser = DiskUsageColumnBrowserToolPane::factory(toolNeeds.asker);
    return new DiskUsageTool(toolNeeds, std::move(options), &window);
}

void QuillbyProApplication::setupPages(PrefsWindowController& window) {
    // The pages show the agent's enumeration of this tick: one enumeration feeds everything.
    auto rows = [volumes = volumes_] { return VolumeMenuModel::volumeRows(volumes->volsArray()); };
    // Both run on a worker: the window never waits for the file manager or a disk.
    auto browse = [this](const std::string& path) {
        manager_->openVolRootDirInBackground(path, *queue_, {});
        return true;
    };
    auto eject = [this](std::int32_t reference) {
        agent_->ejectVolume(reference);
        return true;
    };

    auto* scan = new FastCleanPage;
    WindowPageHost host(window, *scan,
                        {.queue = queue_.get(),
                         .viewer = Services::get<FileViewer>(),
                         .authorization = &PrivilegedAuthorization::sharedAuthorization()});
    auto* myMac = new MyComputerPage(
        rows, [] { return computerInfoRows(MachineFacts::read()); }, browse);
    auto* disks = new DiskSizeView(rows, eject, browse);
    host.addFeature(0, QString::fromStdString(localizedString("TITLE_CLEAN_SYS_MYMAC")), myMac);
    host.addFeature(8, QString::fromStdString(localizedString("TITLE_UNINSTALL")),
                    new UninstallAppsPage(host.needs()));
    host.addFeature(9, QString::fromStdString(localizedString("TITLE_FREESPACE_MONITOR")), disks);
    auto folders = std::make_shared<CategoryFolders>(Services::context(),
                                                     std::make_shared<VolumeListInternalVolumes>());
    auto* clean = new SystemCleanView(
        host.needs(), [folders](int id) { return folders->cleanFolders(id); }, scan);
    auto& bus = EventBus::defaultCenter();
    subscriptions_.push_back(
        bus.observe(Events::updateNewDiskSizeView, [disks, myMac](const Event&) {
            disks->updateViewAndData();
            myMac->updateViewAndData();
        }));
    subscriptions_.push_back(bus.observe(Events::updateSizeView, [disks, myMac](const Event&) {
        disks->initDiskSizeView();
        myMac->initWithFrame();
    }));

    auto* memory = new CleanMemoryController(
        std::make_unique<CleanMemoryModel>(std::make_unique<ClearMemory>()));
    std::error_code error;
    std::filesystem::path executable = std::filesystem::read_symlink("/proc/self/exe", error);
    auto* preferences = new PreferencesPane(
        [executable](bool add) { return AppInformation::registerProgramAtLogin(add, executable); });
    updates_->whenAvailabilityKnown(
        [this, pane = QPointer<PreferencesPane>(preferences)](bool available) {
            if (!pane) return;
            pane->setUpdateCheck(available, [this] {
                if (updates_) updates_->settingsChanged();
            });
        });

    host.addPage(scan, QStringLiteral("Scan"));
    clean->registerWith(host);
    (new DuplicatesPage(host.needs(), this))->registerWith(host);
    makeDiskUsageTool(window, host.needs())->registerWith(host);
    host.addPage(memory, QStringLiteral("memory"));
    host.addPage(new LoginItemsPage(host.needs()), QStringLiteral("login_items"));
    host.addPage(nullptr, QString());
    host.addPage(preferences, QStringLiteral("preferences"));
    host.addPage(new QWidget, QStringLiteral("Help"));
    window.setHelpAddress(helpAddress());

    // Keyboard: the quit command's status, close, preferences, and each page by number.
    auto* quit = new QShortcut(QKeySequence::Quit, &window);
    connect(quit, &QShortcut::activated, this, [this] { agent_->quit(); });
    auto* close = new QShortcut(QKeySequence::Close, &window);
    connect(close, &QShortcut::activated, &window, &QWidget::close);
    auto* preferencesKey = new QShortcut(QKeySequence(QStringLiteral("Ctrl+,")), &window);
    connect(preferencesKey, &QShortcut::activated, &window,
            [&window] { window.toggleActivePreferenceView(QStringLiteral("preferences")); });
    int number = 1;
    for (const QString& page : PrefsWindowController::rememberedPages()) {
        if (!window.toolbarItem(page)) continue;
        auto* key = new QShortcut(QKeySequence(QStringLiteral("Ctrl+%1").arg(number++)), &window);
        connect(key, &QShortcut::activated, &window,
                [&window, page] { window.toggleActivePreferenceView(page); });
    }
}

}  // namespace quillby
