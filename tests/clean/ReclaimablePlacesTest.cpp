// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <fstream>
#include <map>
#include <sstream>
#include <tuple>

#include "CleanFixture.h"
#include "clean/CleanCategory.h"
#include "clean/FlatpakRuntimeItems.h"
#include "clean/JournalTrimItem.h"
#include "clean/ScanViewController.h"
#include "clean/SnapRevisionItems.h"
#include "core/work/PlainMainQueue.h"
#include "platform/linux/FlatpakCommand.h"
#include "platform/linux/JournalctlCommand.h"
#include "platform/linux/SnapCommand.h"
#include "support/ChildProcess.h"
#include "support/ProcessRunner.h"
#include "support/ScriptedHelper.h"

using namespace quillby;

namespace fs = std::filesystem;

namespace {

// Stand-ins for flatpak, snap and journalctl on a PATH of their own: each appends its name and
// arguments to calls.txt and prints the text given for its arguments.
class FakeTools {
  public:
    void add(const std::string& name, const std::map<std::string, std::string>& answers) {
        std::string script = "#!/bin/sh\necho \"" + name + " $*\" >> '" +
                             (dir / "calls.txt").string() + "'\ncase \"$*\" in\n";
        for (const auto& [arguments, text] : answers) {
            script += "\"" + arguments + "\") printf '%s' '" + text + "' ;;\n";
        }
        dir.writeExecutable(name, script + "esac\n");
    }
    // The recorded calls that start with `prefix`.
    std::vector<std::string> calls(const std::string& prefix) const {
        std::ifstream file(dir / "calls.txt");
        std::vector<std::string> found;
        for (std::string line; std::getline(file, line);) {
            if (line.starts_with(prefix)) found.push_back(line);
        }
        return found;
    }
    PlatformContext context(const TestPlatform& platform) const {
        PlatformContext context = platform.context();
        context.executableSearchPath = {dir.path()};
        return context;
    }

    TempDir dir;
};

const std::map<std::string, std::string> kFlatpak{
    {"list --runtime --columns=ref,installation,size",
     "org.gnome.Platform/x86_64/43\tsystem\t1.2 GB\n"
     "org.gnome.Platform/x86_64/45\tsystem\t900.0 MB\n"
     "org.gnome.Platform.Locale/x86_64/43\tsystem\t10.0 kB\n"
     "org.freedesktop.Platform/x86_64/23.08\tsystem\t500.0 MB\n"
     "org.kde.Sdk/x86_64/5.15\tuser\t2.0 GB\n"},
    {"list --app --columns=application,runtime", "org.gimp.GIMP\torg.gnome.Platform/x86_64/45\n"},
    {"pin --system", "runtime/org.freedesktop.Platform/x86_64/23.08\n"},
};
const std::map<std::string, std::string> kSnap{
    {"list --all",
     "Name     Version   Rev   Tracking       Publisher    Notes\n"
     "core22   20240111  1122  latest/stable  canonical**  base\n"
     "core22   20231123  1033  latest/stable  canonical**  base,disabled\n"
     "firefox  121.0     3600  latest/stable  mozilla**    disabled\n"
     "firefox  122.0     3626  latest/stable  mozilla**    -\n"}};

// Lists, in `list`, the items of the flatpak and snap found on `context`'s PATH, and no folder.
void scanPackageTools(ScanViewController& list, PlainMainQueue& queue,
                      const PlatformContext& context) {
    list.beginScanTask(
        [] { return std::vector<CleanFolder>{}; },
        {std::make_shared<FlatpakRuntimeItems>(std::make_shared<FlatpakCommand>(context)),
         std::make_shared<SnapRevisionItems>(std::make_shared<SnapCommand>(context))});
    ASSERT_TRUE(queue.runUntil([&] { return list.scanFinished.get(); }));
}

}  // namespace

TEST(PackageToolItems, ListedWithSizesAndRemovedThroughTheirToolsNeverByDeleting) {
    TestPlatform platform;
    fs::path kept = platform.root().write("var/lib/snapd/snaps/core22_1033.snap", "snap");
    FakeTools tools;
    tools.add("flatpak", kFlatpak);
    tools.add("snap", kSnap);
    ScanViewController list(CleanCategoryId::SystemCaches);
    PlainMainQueue queue;
    scanPackageTools(list, queue, tools.context(platform));
    using Listed = std::tuple<std::string, std::string, std::uint64_t>;
    std::vector<Listed> listed;
    for (const auto& record : list.scanFiles.get())
        listed.emplace_back(record.name, record.detailLine(), record.fileSizeNum);
    // Used, pinned and extension runtimes are not offered; the revision in use neither. Each
    // says what it is where a file shows its path.
    const std::string snapRevision =
        "earlier snap revision kept to go back to; the one in use stays";
    EXPECT_EQ(
        listed,
        (std::vector<Listed>{
            {"org.gnome.Platform 43 (system)",
             "Flatpak runtime no installed application uses, system installation", 1200000000},
            {"org.kde.Sdk 5.15 (user)",
             "Flatpak runtime no installed application uses, user installation", 2000000000},
            {"core22 20231123 (disabled revision 1033)", snapRevision, 4},
            {"firefox 121.0 (disabled revision 3600)", snapRevision, 0}}));
    EXPECT_EQ(list.scanFiles.get()[0].path, "flatpak:system:runtime/org.gnome.Platform/x86_64/43");
    EXPECT_TRUE(list.unavailableTools.empty());
    EXPECT_FALSE(list.openFinder(0));

    list.setAllCheckBoxSelect();
    list.beginCleanTask();
    ASSERT_TRUE(queue.runUntil([&] { return list.cleanFinished.get(); }));
    EXPECT_TRUE(list.cleanFailures.empty());
    EXPECT_TRUE(list.scanFiles.get().empty());
    EXPECT_EQ(list.iCleanSize, 3200000004u);
    EXPECT_EQ(
        tools.calls("flatpak uninstall"),
        (std::vector<std::string>{
            "flatpak uninstall --noninteractive --system -- runtime/org.gnome.Platform/x86_64/43",
            "flatpak uninstall --noninteractive --user -- runtime/org.kde.Sdk/x86_64/5.15"}));
    EXPECT_EQ(tools.calls("snap remove"),
              (std::vector<std::string>{"snap remove --revision=1033 core22",
                                        "snap remove --revision=3600 firefox"}));
    EXPECT_TRUE(fs::exists(kept));  // the tool removes it, never the clean
}

TEST(PackageToolItems, AnItemNoLongerUnusedStaysAndMissingToolsAreNamed) {
    TestPlatform platform;
    FakeTools tools;
    tools.add("snap", kSnap);
    ScanViewController list(CleanCategoryId::SystemCaches);
    PlainMainQueue queue;
    scanPackageTools(list, queue, tools.context(platform));
    EXPECT_EQ(list.unavailableTools, std::vector<std::string>{"flatpak"});
    ASSERT_EQ(list.scanFiles.get().size(), 2u);
    // Reverted since the scan: revision 1033 is the active one again.
    tools.add("snap", {{"list --all",
                        "Name Version Rev Tracking Publisher Notes\n"
                        "core22 20231123 1033 latest/stable canonical base\n"}});
    auto records = list.scanFiles.get();
    records[0].bIsSelected = true;
    list.scanFiles.set(records);
    list.beginCleanTask();
    ASSERT_TRUE(queue.runUntil([&] { return list.cleanFinished.get(); }));
    ASSERT_EQ(list.cleanFailures.size(), 1u);
    EXPECT_EQ(list.cleanFailures[0].reason, "core22 revision 1033 is no longer disabled");
    EXPECT_TRUE(tools.calls("snap remove").empty());
}

TEST(PackageToolItems, TheJournalAboveItsLimitIsTrimmedByTheHelperOnly) {
    TestPlatform platform;
    FakeTools tools;
    tools.add(
        "journalctl",
        {{"--disk-usage", "Archived and active journals take up 500.0M in the file system.\n"}});
    auto journal = std::make_shared<JournalctlCommand>(tools.context(platform));
    JournalTrimItem trim(journal, 200000000);
    auto items = trim.list({});
    ASSERT_TRUE(items && items->size() == 1u);
    EXPECT_EQ(items->front().name, "System journal above 200 MB");
    EXPECT_EQ(items->front().description,
              "oldest archived systemd journal files; the active journal stays");
    EXPECT_EQ(items->front().bytes, 500u * 1024 * 1024 - 200000000);
    EXPECT_TRUE(JournalTrimItem(journal, 600000000).list({})->empty());

    // Without rights nothing runs, and rights are what would help.
    CleanToolRemoval refused = trim.remove(items->front(), nullptr);
    EXPECT_FALSE(refused.removed);
    EXPECT_TRUE(refused.rightsMayHelp);
    ScriptedSession helper("ok");
    PrivilegedAuthorization rights(std::make_shared<ScriptedLauncher>(&helper));
    ASSERT_TRUE(rights.allocAuthorization());
    EXPECT_TRUE(trim.remove(items->front(), &rights).removed);
    EXPECT_EQ(helper.requests.back(), "vacuum-journal 200000000");
    EXPECT_FALSE(JournalctlCommand::parseDiskUsage("No journal files were found."));
    EXPECT_EQ(JournalctlCommand::parseDiskUsage("Journals take up 8.0M on disk."), 8u << 20);
}

// Crash reports and core dumps go with the rest of the system logs; live logs, the active journal
// and a core dump that is a link stay.
TEST(ReclaimablePlaces, CrashReportsCoreDumpsAndApplicationCachesOnAFixtureMachine) {
    CleanFixture machine;
    const auto& dir = machine.platform.root();
    dir.write("var/crash/_usr_bin_x.1000.crash", std::string(100, 'c'));
    dir.write("var/crash/_usr_bin_x.1000.upload", "u");
    dir.write("var/crash/apport.lock", "");
    dir.write("var/lib/systemd/coredump/core.x.1000.abc.1.1700000000000000.zst",
              std::string(50, 'd'));
    dir.write("var/log/journal/0123/user-1000.journal", "live");
    fs::path target = dir.write("precious", "keep");
    fs::create_symlink(target, machine / "var/lib/systemd/coredump/core.link");
    dir.write("home/.var/app/org.gimp.GIMP/cache/fontconfig/x", std::string(70, 'f'));
    dir.write("home/.var/app/org.gimp.GIMP/data/work.xcf", "mine");
    dir.write("home/.mozilla/firefox/Crash Reports/pending/0f3e.dmp", std::string(40, 'm'));
    dir.write("home/.mozilla/firefox/Crash Reports/InstallTime20240101", "keep");
    dir.write("home/.local/share/xorg/Xorg.0.log", "live");
    dir.write("home/.local/share/xorg/Xorg.0.log.old", "old");

    // The crash and core dump folders join the System Logs, the sandboxes' caches the User
    // Caches and the minidumps the User Logs.
    cleanWithoutRights(foldersOf(machine, {2, 1, 3}));
    for (const char* gone : {"var/crash/_usr_bin_x.1000.crash", "var/crash/_usr_bin_x.1000.upload",
                             "var/lib/systemd/coredump/core.x.1000.abc.1.1700000000000000.zst",
                             "home/.var/app/org.gimp.GIMP/cache/fontconfig",
                             "home/.mozilla/firefox/Crash Reports/pending/0f3e.dmp",
                             "home/.local/share/xorg/Xorg.0.log.old"}) {
        EXPECT_FALSE(fs::exists(fs::symlink_status(machine / gone))) << gone;
    }
    for (const char* kept :
         {"var/crash/apport.lock", "var/log/syslog", "var/log/journal/0123/system.journal",
          "var/log/journal/0123/user-1000.journal", "var/lib/systemd/coredump/core.link",
          "precious", "home/.var/app/org.gimp.GIMP/cache",
          "home/.var/app/org.gimp.GIMP/data/work.xcf",
          "home/.mozilla/firefox/Crash Reports/InstallTime20240101",
          "home/.local/share/xorg/Xorg.0.log"}) {
        EXPECT_TRUE(fs::exists(fs::symlink_status(machine / kept))) << kept;
    }
}

// The command line lists the package tools' items with the files and names the tools it did not
// find; a /var of its own keeps the machine's folders out of it.
TEST(ReclaimablePlaces, TheCommandLineNamesMissingToolsAsUnavailable) {
    TestPlatform platform;
    FakeTools tools;
    tools.add("flatpak", kFlatpak);
    tools.add(
        "journalctl",
        {{"--disk-usage", "Archived and active journals take up 300.0M in the file system.\n"}});
    int status = inPrivateVar([&] {
        auto scan = runProcess(
            QUILLBY_CLI_PATH, {"clean", "scan", "--json", "--category", "0", "2"},
            {{"HOME", (platform.root() / "home").string()}, {"PATH", tools.dir.path().string()}});
        auto json = nlohmann::json::parse(scan.out, nullptr, false);
        if (scan.status != 0 || json.is_discarded()) return false;
        auto& caches = json["categories"][0];
        auto& logs = json["categories"][1];
        EXPECT_EQ(caches["unavailable"], nlohmann::json::array({"snap"}));
        EXPECT_EQ(logs["unavailable"], nlohmann::json::array());
        EXPECT_EQ(caches["items"][0]["path"], "flatpak:user:runtime/org.kde.Sdk/x86_64/5.15");
        EXPECT_EQ(caches["size"], 3200000000u);
        EXPECT_EQ(logs["items"][0]["name"], "System journal above 200 MB");
        // The text says what an item is instead of its key.
        auto text = runProcess(
            QUILLBY_CLI_PATH, {"clean", "scan", "--category", "0"},
            {{"HOME", (platform.root() / "home").string()}, {"PATH", tools.dir.path().string()}});
        EXPECT_TRUE(holdsAll(text.out,
                             "org.kde.Sdk 5.15 (user): Flatpak runtime no installed "
                             "application uses, user installation"));
        EXPECT_EQ(text.out.find("flatpak:"), std::string::npos) << text.out;
        return !::testing::Test::HasFailure();
    });
    if (status == kNoMountNamespace) GTEST_SKIP() << "needs root: for a private mount namespace";
    EXPECT_EQ(status, 0);
}
