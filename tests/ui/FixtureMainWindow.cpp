// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/FixtureMainWindow.h"

#include <QApplication>
#include <cstdio>

#include "clean/ui/SystemCleanView.h"
#include "diskusage/ui/DiskUsageColumnBrowserToolPane.h"
#include "diskusage/ui/DiskUsagePathListPage.h"
#include "diskusage/ui/DiskUsageProgressPage.h"
#include "diskusage/ui/DiskUsageTool.h"
#include "duplicates/ui/DuplicatesPage.h"
#include "loginitems/ui/LoginItemsPage.h"
#include "memory/CleanMemoryModel.h"
#include "memory/ClearMemory.h"
#include "memory/ui/CleanMemoryController.h"
#include "monitor/ui/DiskSizeView.h"
#include "monitor/ui/MenuItemView.h"
#include "platform/MemorySource.h"
#include "platform/linux/LinuxProcessLauncher.h"
#include "shell/FastCleanPage.h"
#include "shell/PreferencesPane.h"
#include "shell/WindowPageHost.h"
#include "sysinfo/ui/MyComputerPage.h"
#include "ui/ImageProvider.h"
#include "ui/WindowStyle.h"

using namespace quillby;

namespace {

struct Memory : MemorySource {
    int sample(MemoryCounts& counts) override {
        counts = {6ull << 30, 3ull << 30, 5ull << 30, 2ull << 30, 16ull << 30, 0, 0, 0};
        return 0;
    }
};

std::vector<VolumeRow> volumes() {
    auto volume = &FixtureMainWindow::volume;
    return {volume(0, "/", 512, 121.4, false, true), volume(0, "home", 1000, 62.5, false, false),
            volume(1, "BACKUP", 2000, 1310, true, false), volume(3, "nas", 4000, 830, true, false)};
}

}  // namespace

std::array<ComputerInfoRow, 7> FixtureMainWindow::facts() {
    return {{{"model_identifier.png", "Model Identifier:", "LENOVO ThinkPad X1 Carbon Gen 9"},
             {"cpu_vendor.png", "CPU Vendor:", "GenuineIntel"},
             {"cpu_brand.png", "CPU Brand:", "11th Gen Intel(R) Core(TM) i7-1185G7 @ 3.00GHz"},
             {"memory.png", "Memory:", "16.00 GB"},
             {"os_type.png", "OS Type:", "Linux (Debian GNU/Linux 12 (bookworm))"},
             {"os_rdease.png", "OS Release:", "6.1.0-18-amd64"},
             {"hostname.png", "Hostname:", "workstation"}}};
}

FixtureMainWindow::FixtureMainWindow() {
    WindowStyle::apply(*qApp);
    ImageProvider::shared().setUseThemeIcons(false);
    overview = new FastCleanPage;
    WindowPageHost host(window, *overview, {.queue = &queue_, .asker = asker_});
    host.addFeature(0, "My Computer", new MyComputerPage(volumes, facts, {}));
    uninstall = uninstallMachine_.makePage(queue_);
    host.addFeature(8, "Uninstall Applications", uninstall);
    host.addFeature(9, "Free Space Monitor", new DiskSizeView(volumes, {}, {}));
    // The clean categories' rows, never scanned here: the fixture machine has no folders.
    auto* clean = new SystemCleanView(
        host.needs(), [](int) { return std::vector<CleanFolder>{}; }, overview);
    auto* memory =
        new CleanMemoryController(std::make_unique<CleanMemoryModel>(std::make_unique<ClearMemory>(
            std::make_shared<Memory>(), std::make_shared<LinuxProcessLauncher>(), PurgeTools{})));
    host.addPage(overview, "Scan");
    clean->registerWith(host);
    (new DuplicatesPage(host.needs(), &window))->registerWith(host);
    diskUsageTool(host.needs())->registerWith(host);
    host.addPage(memory, "memory");
    host.addPage(new LoginItemsPage(host.needs()), "login_items");
    host.addPage(nullptr, "");
    host.addPage(new PreferencesPane([](bool) { return true; }), "preferences");
    host.addPage(new QWidget, "Help");
    window.setCrossFade(false);
}

FixtureMainWindow::~FixtureMainWindow() = default;

VolumeRow FixtureMainWindow::volume(std::uint32_t kind, const char* name, double totalGB,
                                    double freeGB, bool eject, bool boot) {
    VolumeRow row;
    row.myStorage = kind;
    row.volumeSize = name;
    row.nTotalSize = static_cast<std::uint64_t>(totalGB * 1e9);
    row.nFreeSize = static_cast<std::uint64_t>(freeGB * 1e9);
    char text[32];
    std::snprintf(text, sizeof text, "%.2f GB", totalGB);
    row.u64TotalSpace = text;
    std::snprintf(text, sizeof text, "%.2f GB", freeGB);
    row.u64FreeSpace = text;
    row.errorValue = "10";
    row.bCanEject = eject;
    row.bIsDefaultVol = boot;
    row.volRootDir = boot ? "/" : std::string("/media/") + name;
    return row;
}

DiskUsageTool* FixtureMainWindow::diskUsageTool(const PageNeeds& needs) {
    DiskUsageTool::Options options;
    options.environment.userName = "alice";
    options.environment.homeFolder = "/home/alice";
    options.environment.volumes = {{.name = "Debian",
                                    .rootPath = "/",
                                    .totalBytes = 512'000'000'000,
                                    .freeBytes = 121'400'000'000},
                                   {.name = "Data",
                                    .rootPath = "/srv/data",
                                    .totalBytes = 512'000'000'000,
                                    .freeBytes = 62'500'000'000}};
    options.columnBrowser = DiskUsageColumnBrowserToolPane::factory(asker_);
    return new DiskUsageTool(needs, std::move(options), &window);
}

std::unique_ptr<VolumePanel> FixtureMainWindow::volumePanel() {
    auto panel = std::make_unique<VolumePanel>(VolumePanel::Actions{});
    using Type = StatusMenuEntry::Type;
    auto all = volumes();
    StatusMenu menu{{.type = Type::Header, .headerKind = 0},
                    {.type = Type::Row, .row = all[0]},
                    {.type = Type::Row, .row = all[1]},
                    {.type = Type::Header, .headerKind = 1},
                    {.type = Type::Row, .row = all[2]},
                    {.type = Type::Header, .headerKind = 3},
                    {.type = Type::Row, .row = all[3]},
                    {.type = Type::Header, .headerKind = 5},
                    {.type = Type::Row, .row = volume(5, "Memory", 17.18, 6.44, false)},
                    {.type = Type::Separator},
                    {.type = Type::EjectAll, .title = "Eject All"},
                    {.type = Type::Separator},
                    {.type = Type::FastClean, .title = "Fast Clean"},
                    {.type = Type::Scan, .title = "Scan"},
                    {.type = Type::FreeSpace, .title = "Free Space"},
                    {.type = Type::Uninstall, .title = "Uninstall"},
                    {.type = Type::MainWindow, .title = "Main Window"},
                    {.type = Type::Preferences, .title = "Preferences\u2026"},
                    {.type = Type::About, .title = "About Quillby Pro"},
                    {.type = Type::Separator},
                    {.type = Type::Quit, .title = "Quit Quillby Pro"}};
    panel->showMenu(menu);
    panel->updateShowSize("121.40 GB", "512.00 GB");
    panel->adjustSize();
    return panel;
}
