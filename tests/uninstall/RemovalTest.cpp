// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <filesystem>

#include <sys/mount.h>

#include "core/events/Log.h"
#include "core/work/PrivilegedAuthorization.h"
#include "support/ChildProcess.h"
#include "support/ScriptedHelper.h"
#include "uninstall/RelatedFileRule.h"
#include "uninstall/UninstallApp.h"
#include "uninstall/UninstallFixtures.h"

using namespace quillby;

namespace fs = std::filesystem;

namespace {

bool present(const fs::path& path) {
    return fs::exists(fs::symlink_status(path));
}

AppItems app(const fs::path& path, std::optional<std::string> id, AppSource source,
             std::string unit = "") {
    AppItems item;
    item.name = "App";
    item.path = path.string();
    item.bundleID = std::move(id);
    item.source = source;
    item.removalUnit = std::move(unit);
    return item;
}

std::vector<std::string> descriptions(const std::vector<RemovalStep>& steps) {
    std::vector<std::string> texts;
    for (const auto& step : steps) texts.push_back(step.description());
    return texts;
}

}  // namespace

// Whether each entry name belongs to the application named `id`.
template <typename... Names>
void expectRelated(bool related, const char* id, Names... names) {
    for (const char* name : {names...})
        EXPECT_EQ(RelatedFileRule::matches(name, id), related) << name << " for " << id;
}

TEST(RelatedFileRule, ReverseDomainPrefixesAndShortNamesWithSeparators) {
    expectRelated(true, "org.example.Tool", "org.example.Tool", "org.example.Tool.plist",
                  "org.example.ToolHelper.plist");
    expectRelated(false, "org.example.Tool", "org.example.Too", "org.Example.Tool");
    expectRelated(true, "gimp", "gimp", "gimp-2.10", "gimp_backup", "gimp.conf");
    expectRelated(false, "gimp", "gimpy", "GIMP");
    expectRelated(false, "go", "google-chrome");
    expectRelated(false, "org", "org.gnome.Maps");  // another app's name
    expectRelated(false, "org.gnome", "org.gnome.Maps");
    expectRelated(true, "python3.11", "python3.11-history");
    expectRelated(false, "python3.11", "python3.110");
    // What every program shares, and this program's own folders, belong to no application.
    for (const char* shared : {"applications", "flatpak", "Trash"})
        expectRelated(false, shared, shared);
    expectRelated(false, "com.quillby", "com.quillby.pro");
    expectRelated(false, "", "anything");
    expectRelated(false, ".", ".-hidden");  // from a file named "..desktop"
}

TEST(UninstallApp, RelatedFilesComeFromTheUsersFoldersOnly) {
    UninstallMachine machine;
    const PlatformContext& context = machine.context();
    std::string id = "org.example.Tool";
    fs::path config = machine.writeFile(context.xdgConfigHome / id / "settings.ini");
    fs::path plist = machine.writeFile(context.xdgConfigHome / (id + ".conf"));
    fs::path helper = machine.writeFile(context.xdgCacheHome / "org.example.ToolHelper");
    fs::path data = machine.writeFile(context.xdgDataHome / id / "db");
    fs::path state = machine.writeFile(context.xdgStateHome / (id + ".log"));
    machine.writeFile(machine.home() / ".var/app" / id / "config/x");
    machine.writeFile(context.xdgConfigHome / "org.example.Other/x");
    machine.writeFile(context.xdgConfigHome / "deep" / id);  // not directly in the folder
    machine.writeFile(machine.home() / "Documents" / id);    // not a searched folder
    fs::path snapHome = machine.writeFile(machine.home() / "snap/tool/common/x");

    UninstallApp uninstaller(machine.backends);
    auto related = uninstaller.relatedFiles(app("/x/tool.desktop", id, AppSource::UserEntry));
    std::sort(related.begin(), related.end());
    std::vector<std::string> expected{
        config.parent_path().string(), plist.string(), helper.string(),
        data.parent_path().string(),   state.string(), (machine.home() / ".var/app" / id).string()};
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(related, expected);

    // Folders in their order; an unreadable one adds none.
    auto byFolder = UninstallApp::getFilesByBundle(
        id, {context.xdgCacheHome, machine.root / "missing", context.xdgStateHome});
    EXPECT_EQ(byFolder, (std::vector<std::string>{helper.string(), state.string()}));

    // A snap also owns ~/snap/NAME; an application without an identifier has no related files.
    auto snapFiles =
        uninstaller.relatedFiles(app("/x/tool_tool.desktop", "tool_tool", AppSource::Snap, "tool"));
    EXPECT_EQ(snapFiles, (std::vector<std::string>{snapHome.parent_path().parent_path().string()}));
    EXPECT_TRUE(
        uninstaller.relatedFiles(app("/x/a.AppImage", std::nullopt, AppSource::AppImage)).empty());
    // A snap name taken from an entry never leads out of ~/snap.
    EXPECT_TRUE(uninstaller.relatedFiles(app("/x/t.desktop", "", AppSource::Snap, "..")).empty());
}

// Run as root with XDG_CONFIG_HOME on a shared folder, the entries of other users there are no
// application's related files: the settings folder in the home is searched instead.
TEST(UninstallApp, SettingsFolderNamedByTheEnvironmentCountsOnlyWhenTheUsersOwn) {
    struct Case {
        const char* name;
        fs::path folder;  // relative to the fixture root
        bool givenAway;   // to another user (needs root)
    };
    for (const Case& c : {Case{"outside the home", "shared/config", false},
                          Case{"another user's inside the home", "home/shared-config", true}}) {
        if (c.givenAway && ::geteuid() != 0) continue;
        UninstallMachine machine;
        std::string id = "org.example.Tool";
        machine.writeFile(machine.root / c.folder / id / "settings.ini");
        if (c.givenAway) {
            ASSERT_EQ(::chown((machine.root / c.folder).c_str(), 65534, 65534), 0);
        }
        fs::path own = machine.writeFile(machine.home() / ".config" / (id + ".conf"));
        machine.backends.context.xdgConfigHome = machine.root / c.folder;

        UninstallApp uninstaller(machine.backends);
        EXPECT_EQ(uninstaller.relatedFileFolders().front(), machine.home() / ".config") << c.name;
        auto steps =
            descriptions(uninstaller.removalPlan(app("/x/tool.desktop", id, AppSource::UserEntry)));
        EXPECT_EQ(steps,
                  (std::vector<std::string>{own.string() + " (to the trash)", "/x/tool.desktop"}))
            << c.name;
    }
}

TEST(UninstallApp, RemovesLinksAsLinksAndNothingElse) {
    UninstallMachine machine;
    TempDir outside;
    fs::path precious = outside.write("precious/data", "keep");
    const PlatformContext& context = machine.context();
    std::string id = "org.example.Tool";
    fs::path entry = machine.writeEntry(machine.userApplications() / (id + ".desktop"), "Tool");
    fs::create_directories(context.xdgConfigHome);
    fs::create_directory_symlink(outside / "precious", context.xdgConfigHome / id);
    fs::path inside = machine.writeFile(context.xdgDataHome / id / "inner/file");
    fs::create_symlink(outside / "precious/data", inside.parent_path() / "to-precious");
    fs::path neighbour = machine.writeFile(context.xdgDataHome / "org.example.Other/file");
    fs::path otherEntry = machine.writeEntry(machine.userApplications() / "other.desktop", "O");

    UninstallApp uninstaller(machine.backends);
    EXPECT_TRUE(uninstaller.uninstallApp(app(entry, id, AppSource::UserEntry)));
    EXPECT_FALSE(present(context.xdgConfigHome / id));
    EXPECT_FALSE(present(context.xdgDataHome / id));
    EXPECT_FALSE(present(entry));
    EXPECT_EQ(TempDir::read(precious), "keep");
    EXPECT_TRUE(present(neighbour));
    EXPECT_TRUE(present(otherEntry));
    EXPECT_TRUE(uninstaller.failures().empty());
}

TEST(UninstallApp, AFailingPathStopsThatApplication) {
    UninstallMachine machine;
    const PlatformContext& context = machine.context();
    std::string id = "org.example.Tool";
    fs::path entry = machine.writeEntry(machine.userApplications() / (id + ".desktop"), "Tool");
    fs::path config = machine.writeFile(context.xdgConfigHome / id / "a");
    fs::path cache = machine.writeFile(context.xdgCacheHome / id / "b");
    fs::path data = machine.writeFile(context.xdgDataHome / id / "c");
    handToOrdinaryUser(machine.home(), machine.root.path());
    // The cache folder is not the user's to change, so its entry cannot be removed.
    if (::geteuid() == 0) ::lchown(context.xdgCacheHome.c_str(), 0, 0);
    fs::permissions(context.xdgCacheHome,
                    fs::perms::owner_all | fs::perms::others_read | fs::perms::others_exec);
    if (::geteuid() != 0) {
        fs::permissions(context.xdgCacheHome, fs::perms::owner_write, fs::perm_options::remove);
    }

    AppItems tool = app(entry, id, AppSource::UserEntry);
    bool failed =
        asOrdinaryUser([&] { return !UninstallApp(machine.backends).uninstallApp(tool); });
    EXPECT_TRUE(failed);
    EXPECT_FALSE(present(config.parent_path()));  // removed before the failure
    EXPECT_TRUE(present(cache.parent_path()));    // the failure (emptied, but still there)
    EXPECT_TRUE(present(data));                   // after it: left alone
    EXPECT_TRUE(present(entry));                  // the application itself stays
}

TEST(UninstallApp, PlansPackagesFirstAndFilesLastAndPackagesGoThroughPackageKitOrTheHelper) {
    UninstallMachine machine;
    fs::path config = machine.writeFile(machine.context().xdgConfigHome / "vim/vimrc");
    AppItems vim = app("/usr/share/applications/vim.desktop", "vim", AppSource::Package, "vim");
    UninstallApp planner(machine.backends);
    EXPECT_EQ(descriptions(planner.removalPlan(vim)),
              (std::vector<std::string>{"package vim and the files it installed",
                                        config.parent_path().string() + " (to the trash)"}));

    std::vector<std::string> logged;
    ScopedLogCapture capture([&](std::string_view line) { logged.emplace_back(line); });

    EXPECT_TRUE(UninstallApp(machine.backends).uninstallApp(vim));
    EXPECT_EQ(machine.packageKit->removed,
              (std::vector<std::string>{"vim /usr/share/applications/vim.desktop"}));
    EXPECT_FALSE(present(config.parent_path()));
    EXPECT_NE(std::find(logged.begin(), logged.end(),
                        "Del App Name:vim  Path:/usr/share/applications/vim.desktop"),
              logged.end());

    // Without PackageKit and without rights: nothing is touched, the related files included.
    config = machine.writeFile(machine.context().xdgConfigHome / "vim/vimrc");
    machine.packageKit->running = false;
    ScriptedSession helper("ok");
    auto launcher = std::make_shared<ScriptedLauncher>(&helper);
    PrivilegedAuthorization rights(launcher);
    machine.backends.authorization = &rights;
    UninstallApp withoutRights(machine.backends);
    EXPECT_TRUE(withoutRights.needsAdministrator(vim));
    EXPECT_FALSE(withoutRights.uninstallApp(vim));
    EXPECT_TRUE(present(config));
    ASSERT_EQ(withoutRights.failures().size(), 1u);
    EXPECT_EQ(withoutRights.failures()[0], "package vim: administrator rights are needed");
    EXPECT_EQ(launcher->launches, 0);

    // With rights, the helper is asked to remove the package that installed the entry.
    ASSERT_TRUE(rights.allocAuthorization());
    EXPECT_TRUE(UninstallApp(machine.backends).uninstallApp(vim));
    EXPECT_EQ(helper.requests,
              (std::vector<std::string>{"ping ",
                                        "remove-package vim /usr/share/applications/vim.desktop"}));
    EXPECT_FALSE(present(config));

    rights.freeAuthorization();
    helper.answer = "error vim did not install it";
    ASSERT_TRUE(rights.allocAuthorization());
    UninstallApp refused(machine.backends);
    EXPECT_FALSE(refused.uninstallApp(vim));
    EXPECT_EQ(refused.failures(),
              (std::vector<std::string>{"package vim: vim did not install it"}));
}

TEST(UninstallApp, FlatpaksSnapsEntriesAndAppImages) {
    UninstallMachine machine;
    const PlatformContext& context = machine.context();
    fs::path sandbox = machine.writeFile(machine.home() / ".var/app/org.gimp.GIMP/config/x");
    AppItems gimp = app("/var/lib/flatpak/exports/share/applications/org.gimp.GIMP.desktop",
                        "org.gimp.GIMP", AppSource::Flatpak, "org.gimp.GIMP");
    gimp.installation = "user";
    machine.writeFile(machine.home() / "snap/firefox/common/x");
    AppItems firefox = app("/var/lib/snapd/desktop/applications/firefox_firefox.desktop",
                           "firefox_firefox", AppSource::Snap, "firefox");
    fs::path local =
        machine.writeEntry(context.xdgDataDirs.front() / "applications/x.desktop", "X");
    fs::path image = machine.writeFile(machine.home() / "Applications/Tool.AppImage");

    UninstallApp uninstaller(machine.backends);
    EXPECT_TRUE(uninstaller.uninstallApp(gimp));
    EXPECT_EQ(machine.flatpak->removed, (std::vector<std::string>{"org.gimp.GIMP user"}));
    EXPECT_FALSE(present(machine.home() / ".var/app/org.gimp.GIMP"));
    EXPECT_TRUE(uninstaller.uninstallApp(firefox));
    EXPECT_EQ(machine.snap->removed, (std::vector<std::string>{"firefox"}));
    EXPECT_FALSE(present(machine.home() / "snap/firefox"));
    // An entry a package claims is never deleted as a file, even when discovery missed that;
    // its related files stay too.
    fs::path localConfig = machine.writeFile(context.xdgConfigHome / "x/settings");
    machine.packages->owners[local.string()] = {"xpkg", "1"};
    EXPECT_FALSE(uninstaller.uninstallApp(app(local, "x", AppSource::LocalEntry)));
    EXPECT_TRUE(present(local));
    EXPECT_TRUE(present(localConfig));
    EXPECT_EQ(uninstaller.failures().back(),
              local.string() + ": installed by package xpkg, so only its removal may delete it");
    machine.packages->owners.clear();
    EXPECT_TRUE(uninstaller.uninstallApp(app(local, "x", AppSource::LocalEntry)));
    EXPECT_FALSE(present(local));
    EXPECT_TRUE(uninstaller.uninstallApp(app(image, std::nullopt, AppSource::AppImage)));
    EXPECT_FALSE(present(image));

    // A refusal keeps the sandbox data.
    sandbox = machine.writeFile(machine.home() / ".var/app/org.gimp.GIMP/config/x");
    machine.flatpak->succeed = false;
    EXPECT_FALSE(uninstaller.uninstallApp(gimp));
    EXPECT_TRUE(present(sandbox));
    EXPECT_EQ(uninstaller.failures().back(), "Flatpak application org.gimp.GIMP: refused");
}

// A user's entry that starts a program in the home: the program goes with its own folder, never
// a folder other programs share, and so do its login items; nothing it reaches by a link out of
// the home, nothing of another user's and no other application's login item.
TEST(UninstallApp, PlansTheProgramItStartsFromTheHomeAndItsLoginItems) {
    const char* byExec = ".config/autostart/started-at-login.desktop";
    struct Case {
        const char* name;
        const char* program;  // the program file in the home ("/..." under the fixture root)
        const char* link;     // what the entry starts instead: a link to the program, or ""
        std::vector<const char*> planned;  // between the login item of its ID and its entry
        bool givenAway = false;            // the program's folder is another user's
        const char* beside = "";           // a file written next to the program
    };
    for (const Case& c : std::vector<Case>{
             {"its own folder",
              ".local/opt/notetaker/notetaker",
              "",
              {byExec, ".local/opt/notetaker"}},
             {"its own folder above bin",
              ".local/opt/NoteTaker-2.1/bin/notetaker",
              "",
              {byExec, ".local/opt/NoteTaker-2.1"}},
             {"a shared bin folder", ".local/bin/notetaker", "", {byExec, ".local/bin/notetaker"}},
             {"the home's bin", "bin/notetaker", "", {byExec, "bin/notetaker"}},
             {"a folder named otherwise", "tools/notetaker", "", {byExec, "tools/notetaker"}},
             {"a link to its own folder",
              ".local/opt/notetaker/notetaker",
              ".local/bin/notetaker",
              {byExec, ".local/bin/notetaker", ".local/opt/notetaker"}},
             {"a link out of the home", "/opt/notetaker/notetaker", ".local/bin/notetaker", {}},
             {"another user's", ".local/opt/notetaker/notetaker", "", {byExec}, true},
             {"a working copy",
              "notetaker/notetaker",
              "",
              {byExec, "notetaker/notetaker"},
              false,
              ".git/HEAD"},
         }) {
        if (c.givenAway && ::geteuid() != 0) continue;
        UninstallMachine machine;
        const fs::path home = machine.home();
        auto place = [&](const char* path) {
            return path[0] == '/' ? machine.root / (path + 1) : home / path;
        };
        fs::path program = machine.writeFile(place(c.program), std::string(2000, 'p'));
        if (*c.beside) machine.writeFile(program.parent_path() / c.beside);
        fs::path started = program;
        if (*c.link) {
            started = place(c.link);
            fs::create_directories(started.parent_path());
            fs::create_symlink(program, started);
        }
        for (const fs::path& given : {program, program.parent_path()}) {
            ASSERT_TRUE(!c.givenAway || ::chown(given.c_str(), 65534, 65534) == 0);
        }
        fs::path entry = machine.writeEntry(machine.userApplications() / "notetaker.desktop",
                                            "Note Taker", "Exec=" + started.string() + " %U\n");
        fs::path autostart = machine.context().xdgConfigHome / "autostart";
        machine.writeEntry(autostart / "notetaker.desktop", "Note Taker");
        machine.writeEntry(home / byExec, "Notes at login", "Exec=env A=1 " + program.string());
        fs::path otherTool = machine.writeFile(home / ".local/bin/othertool");
        fs::path otherLogin = machine.writeEntry(autostart / "othertool.desktop", "Other",
                                                 "Exec=" + otherTool.string());

        std::vector<std::string> expected{(autostart / "notetaker.desktop").string() +
                                          " (to the trash)"};
        for (const char* path : c.planned)
            expected.push_back(place(path).string() + " (to the trash)");
        expected.push_back(entry.string());
        AppItems notetaker = app(entry, "notetaker", AppSource::UserEntry);
        UninstallApp uninstaller(machine.backends);
        EXPECT_EQ(descriptions(uninstaller.removalPlan(notetaker)), expected) << c.name;

        EXPECT_TRUE(uninstaller.uninstallApp(notetaker)) << c.name;
        for (const char* path : c.planned) EXPECT_FALSE(present(place(path))) << c.name;
        EXPECT_EQ(present(program), c.planned.size() < 2) << c.name;
        EXPECT_TRUE(present(otherTool)) << c.name;
        EXPECT_TRUE(present(otherLogin)) << c.name;
    }
}

TEST(RelatedFileRule, TheMostSpecificInstalledIdentifierClaimsAnEntry) {
    struct Case {
        const char* entry;
        std::vector<std::string> installed;  // one identifier per installed application
        std::string owner;                   // "" for nobody
    };
    const std::vector<std::string> chrome{"google-chrome", "google-chrome-beta"};
    const std::vector<std::string> foo{"com.foo.App", "com.foo.App.Devel", "com.foo.App_Editor"};
    for (const Case& c : std::vector<Case>{
             {"google-chrome", chrome, "google-chrome"},
             {"google-chrome-beta", chrome, "google-chrome-beta"},
             {"google-chrome-beta.conf", chrome, "google-chrome-beta"},
             {"google-chrome-unstable", chrome, "google-chrome"},  // not installed
             {"com.foo.App", foo, "com.foo.App"},
             {"com.foo.App.conf", foo, "com.foo.App"},
             {"com.foo.App-2", foo, "com.foo.App"},
             {"com.foo.AppHelper.plist", foo, "com.foo.App"},
             {"com.foo.App.Devel", foo, "com.foo.App.Devel"},
             {"com.foo.App.Devel.conf", foo, "com.foo.App.Devel"},
             {"com.foo.App_Editor", foo, "com.foo.App_Editor"},
             {"com.foo.App.Devel", {"com.foo.App"}, "com.foo.App"},  // its leftovers
             {"com.foo.AppEditor", {"com.foo.App"}, ""},
             {"com.foo.Apple", {"com.foo.App"}, ""},
             {"com.foo.AppHelpers", {"com.foo.App"}, ""},
             {"com.foo", {"com.foo.App"}, ""},
             // Two applications of one identifier (a user and a system Flatpak): shared.
             {"org.gimp.GIMP", {"org.gimp.GIMP", "org.gimp.GIMP"}, ""},
         }) {
        for (std::size_t i = 0; i < c.installed.size(); ++i) {
            std::vector<std::string> others = c.installed;
            others.erase(others.begin() + static_cast<std::ptrdiff_t>(i));
            EXPECT_EQ(RelatedFileRule::belongsTo(c.entry, c.installed[i], others),
                      c.installed[i] == c.owner)
                << c.entry << " for " << c.installed[i];
        }
    }
}

// Another installed application's files are left to it; the identifiers come from the
// applications found, those without one adding none.
TEST(UninstallApp, LeavesWhatAnotherInstalledApplicationClaims) {
    UninstallMachine machine;
    const PlatformContext& context = machine.context();
    fs::path settings = machine.writeFile(context.xdgConfigHome / "google-chrome/Local State");
    machine.writeFile(context.xdgConfigHome / "google-chrome-beta/x");
    fs::path editor = machine.writeFile(machine.home() / ".var/app/org.gnome.TextEditor/x");
    fs::path devel = machine.writeFile(machine.home() / ".var/app/org.gnome.TextEditor.Devel/x");
    UninstallApp uninstaller(machine.backends);
    auto related = [&](const std::string& id) {
        return uninstaller.relatedFiles(app("/x/" + id + ".desktop", id, AppSource::UserEntry));
    };
    auto folderOf = [](const fs::path& file) {
        return std::vector<std::string>{file.parent_path().string()};
    };

    uninstaller.setInstalledIdentifiers({"google-chrome", "google-chrome-beta", "vim"});
    EXPECT_EQ(related("google-chrome"), folderOf(settings));
    uninstaller.setInstalledIdentifiers(UninstallApp::identifiersOf(
        {app("/x/a.desktop", "org.gnome.TextEditor", AppSource::UserEntry),
         app("/x/b.desktop", "org.gnome.TextEditor.Devel", AppSource::Flatpak),
         app("/x/c.AppImage", std::nullopt, AppSource::AppImage)}));
    EXPECT_EQ(related("org.gnome.TextEditor"), folderOf(editor));
    EXPECT_EQ(related("org.gnome.TextEditor.Devel"), folderOf(devel));
}

namespace {

// Uninstalls an app whose settings lie on `settingsDisk`, a disk other than the home's.
bool dataOnAnotherDiskWaitsForTheUser(UninstallMachine& machine, const fs::path& settingsDisk) {
    fs::path config = settingsDisk / "org.example.Notes";
    machine.writeFile(config / "settings");
    fs::path entry =
        machine.writeEntry(machine.userApplications() / "org.example.Notes.desktop", "Notes");
    AppItems notes = app(entry, "org.example.Notes", AppSource::UserEntry);
    // Where that disk cannot have a trash of the user's (its name taken by a file), deleting
    // for good waits for the user's word.
    fs::path diskTrash = settingsDisk / (".Trash-" + std::to_string(::geteuid()));
    machine.writeFile(diskTrash);
    UninstallApp refused(machine.backends);
    std::vector<std::string> asked;
    refused.confirmPermanentRemoval = [&](const std::string& path) {
        asked.push_back(path);
        return false;
    };
    bool keptWhenRefused = !refused.uninstallApp(notes) && fs::exists(config / "settings") &&
                           fs::exists(entry) && asked == std::vector{config.string()};
    // With a trash of its own there, the settings wait in it.
    fs::remove(diskTrash);
    UninstallApp trashed(machine.backends);
    trashed.confirmPermanentRemoval = [](const std::string&) { return false; };
    return keptWhenRefused && trashed.uninstallApp(notes) && !fs::exists(config) &&
           !fs::exists(entry) && fs::exists(diskTrash / "files/org.example.Notes/settings") &&
           fs::exists(diskTrash / "info/org.example.Notes.trashinfo");
}

}  // namespace

TEST(UninstallApp, DataOnAnotherDiskGoesToItsTrashOrIsDeletedOnlyWhenConfirmed) {
    int status = inPrivateMountNamespace([] {
        int code = kNoMountNamespace;
        {  // the fixture goes before _exit, which runs no destructors
            UninstallMachine machine;
            // The settings folder is a disk of its own; the home trash lives on the home's.
            fs::path settingsDisk = machine.context().xdgConfigHome;
            fs::create_directories(settingsDisk);
            if (::mount("quillby-test", settingsDisk.c_str(), "tmpfs", 0, nullptr) == 0) {
                code = dataOnAnotherDiskWaitsForTheUser(machine, settingsDisk) ? 0 : 1;
                ::umount2(settingsDisk.c_str(), MNT_DETACH);  // else its folder cannot go
            }
        }
        if (code == kNoMountNamespace) ::_exit(code);
        return code == 0;
    });
    if (status == kNoMountNamespace) GTEST_SKIP() << "needs root: for a private mount namespace";
    EXPECT_EQ(status, 0);
}
