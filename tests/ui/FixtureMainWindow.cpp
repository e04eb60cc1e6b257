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

VolumeRow volume(std::uint32_t kind, const char* name, double totalGB, double freeGB, bool eject,
                 bool boot = false) {
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

std::vector<VolumeRow> volumes() {
    return {volume(0, "/", 512, 121.4, false, true), volume(0, "home", 1000, 62.5, false),
            volume(1, "BACKUP", 2000, 1310, true), volume(3, "nas", 4000, 830, true)};
}

std::array<ComputerInfoRow, 7> facts() {
    return {{{"model_identifier.png", "Model Identifier:", "LENOVO ThinkPad X1 Carbon Gen 9"},
             {"cpu_vendor.png", "CPU Vendor:", "GenuineIntel"},
             {"cpu_brand.png", "CPU Brand:", "11th Gen Intel(R) Core(TM) i7-1185G7 @ 3.00GHz"},
             {"memory.png", "Memory:", "16.00 GB"},
             {"os_type.png", "OS Type:", "Linux (Debian GNU/Linux 12 (bookworm))"},
             {"os_rdease.png", "OS Release:", "6.1.0-18-amd64"},
             {"hostname.png", "Hostname:", "workstation"}}};
}

}  // namespace

FixtureMainWindow::FixtureMainWindow() {
    WindowStyle::apply(*qApp);
    ImageProvider::shared().setUseThemeIcons(false);
    overview = new FastCleanPage;
    WindowPageHost host(window, *overview, {.queue = &queue_, .asker = asker_});
    host.addFeature(0, "My Computer", new MyComputerPage(volumes, facts(), {}));
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

DiskUsageTool* FixtureMainWindow::diskUsageTool(const PageNeeds& needs) {
    DiskUsageTool::Options options;
    options.environment.userName = "alice";
    options.environment.homeFolder = "/home/alice";
    VolumeFacts root;
    root.name = "Debian";
    root.rootPath = "/";
    root.totalBytes = 512'000'000'000;
    root.freeBytes = 121'400'000'000;
    VolumeFacts data = root;
    data.name = "Data";
    data.rootPath = "/srv/data";
    data.freeBytes = 62'500'000'000;
    options.environment.volumes = {root, data};
    options.columnBrowser = DiskUsageColumnBrowserToolPane::factory(asker_);
    return new DiskUsageTool(needs, std::move(options), &window);
}

std::unique_ptr<VolumePanel> FixtureMainWindow::volumePanel() {
    auto panel = std::make_unique<VolumePanel>(VolumePanel::Actions{});
    StatusMenu menu;
    auto header = [&](std::uint32_t kind) {
        StatusMenuEntry entry;
        entry.type = StatusMenuEntry::Type::Header;
        entry.headerKind = kind;
        menu.push_back(entry);
    };
    auto row = [&](VolumeRow r) {
        StatusMenuEntry entry;
        entry.type = StatusMenuEntry::Type::Row;
        entry.row = std::move(r);
        menu.push_back(entry);
    };
    auto command = [&](StatusMenuEntry::Type type, const char* title) {
        StatusMenuEntry entry;
        entry.type = type;
        entry.title = title;
        menu.push_back(entry);
    };
    auto all = volumes();
    header(0);
    row(all[0]);
    row(all[1]);
    header(1);
    row(all[2]);
    header(3);
    row(all[3]);
    header(5);
    row(volume(5, "Memory", 17.18, 6.44, false));
    command(StatusMenuEntry::Type::Separator, "");
    command(StatusMenuEntry::Type::EjectAll, "Eject All");
    command(StatusMenuEntry::Type::Separator, "");
    command(StatusMenuEntry::Type::FastClean, "Fast Clean");
    command(StatusMenuEntry::Type::Scan, "Scan");
    command(StatusMenuEntry::Type::FreeSpace, "Free Space");
    command(StatusMenuEntry::Type::Uninstall, "Uninstall");
    command(StatusMenuEntry::Type::MainWindow, "Main Window");
    command(StatusMenuEntry::Type::Preferences, "Preferences\u2026");
    command(StatusMenuEntry::Type::About, "About Quillby Pro");
    command(StatusMenuEntry::Type::Separator, "");
    command(StatusMenuEntry::Type::Quit, "Quit Quillby Pro");
    panel->showMenu(menu);
    panel->updateShowSize("121.40 GB", "512.00 GB");
    panel->adjustSize();
    return panel;
}
