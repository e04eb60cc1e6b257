// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "core/work/AdministratorRightsFlag.h"
#include "core/work/PrivilegedAuthorization.h"
#include "platform/PrivilegedHelperLauncher.h"
#include "support/TempDir.h"
#include "support/UnprivilegedChild.h"
#include "uninstall/AppBackends.h"

using namespace quillby;

// Stand-in backends that answer from tables and record what they were asked to remove.
class FakePackageManager : public PackageManagerBackend {
  public:
    std::string name() const override { return "fake"; }
    std::map<std::string, OwningPackage> owningPackages(
        const std::vector<std::string>& paths) override {
        ++queries;
        std::map<std::string, OwningPackage> owned;
        for (const auto& path : paths) {
            if (auto it = owners.find(path); it != owners.end()) owned.emplace(path, it->second);
        }
        return owned;
    }
    std::map<std::string, OwningPackage> owners;
    int queries = 0;
};

class FakePackageRemoval : public PackageRemovalService {
  public:
    bool isRunning() override { return running; }
    bool removePackage(const std::string& package, const std::string& ownedPath,
                       std::string& why) override {
        if (whileRemoving) whileRemoving();
        removed.push_back(package + " " + ownedPath);
        if (!succeed) why = "refused";
        return succeed;
    }
    std::function<void()> whileRemoving;  // runs on the removing thread, before it finishes
    bool running = true;
    bool succeed = true;
    std::vector<std::string> removed;
};

class FakeFlatpak : public FlatpakBackend {
  public:
    std::vector<FlatpakApp> installedApps() override { return apps; }
    bool uninstall(const std::string& id, const std::string& installation,
                   std::string& why) override {
        removed.push_back(id + " " + installation);
        if (!succeed) why = "refused";
        return succeed;
    }
    std::vector<FlatpakApp> apps;
    bool succeed = true;
    std::vector<std::string> removed;
};

class FakeSnap : public SnapBackend {
  public:
    std::vector<SnapPackage> installedSnaps() override { return snaps; }
    bool remove(const std::string& name, std::string& why) override {
        removed.push_back(name);
        if (!succeed) why = "refused";
        return succeed;
    }
    std::vector<SnapPackage> snaps;
    bool succeed = true;
    std::vector<std::string> removed;
};

// Stands in for pkexec: counts the requests for administrator rights and refuses them, or
// grants them with a helper that answers every request with "ok".
class CountingLauncher : public PrivilegedHelperLauncher {
  public:
    std::unique_ptr<PrivilegedHelperSession> launch(int& status) override {
        ++launches;
        status = 126;  // the user dismissed the dialog
        if (refuse) return nullptr;
        struct Session : PrivilegedHelperSession {
            std::optional<std::string> request(std::string_view, std::string_view) override {
                return std::string("ok");
            }
            bool isAlive() override { return true; }
            int finish() override { return 0; }
        };
        return std::make_unique<Session>();
    }
    bool refuse = true;
    int launches = 0;
};

// A fixture machine under a temporary folder (PlatformContext::underRoot) with fake backends.
struct UninstallMachine {
    TempDir root;
    AppBackends backends;
    std::shared_ptr<FakePackageManager> packages = std::make_shared<FakePackageManager>();
    std::shared_ptr<FakePackageRemoval> packageKit = std::make_shared<FakePackageRemoval>();
    std::shared_ptr<FakeFlatpak> flatpak = std::make_shared<FakeFlatpak>();
    std::shared_ptr<FakeSnap> snap = std::make_shared<FakeSnap>();

    UninstallMachine() {
        backends.context = PlatformContext::underRoot(root.path());
        backends.packageManager = packages;
        backends.packageRemoval = packageKit;
        backends.flatpak = flatpak;
        backends.snap = snap;
    }
    const PlatformContext& context() const { return backends.context; }
    std::filesystem::path home() const { return backends.context.home; }
    std::filesystem::path systemApplications() const {
        return backends.context.xdgDataDirs.back() / "applications";
    }
    std::filesystem::path userApplications() const {
        return backends.context.xdgDataHome / "applications";
    }

    // Writes a desktop entry at `path` named `name`, with `extra` lines in its main group.
    static std::filesystem::path writeEntry(const std::filesystem::path& path,
                                            const std::string& name,
                                            const std::string& extra = "") {
        return writeFile(path, "[Desktop Entry]\nType=Application\nName=" + name +
                                   "\nExec=/usr/bin/true\n" + extra);
    }
    // Writes a file (creating its folders).
    static std::filesystem::path writeFile(const std::filesystem::path& path,
                                           const std::string& contents = "x") {
        std::filesystem::create_directories(path.parent_path());
        FILE* file = std::fopen(path.c_str(), "w");
        std::fputs(contents.c_str(), file);
        std::fclose(file);
        return path;
    }
};

// A machine for the uninstaller's page: two of the user's own applications ("Notes" with
// settings and a cache, "Paint"), a packaged one ("Vim") and this program's entry, with rights
// that the test grants or refuses through `launcher`.
struct UninstallPageMachine {
    UninstallMachine machine;
    std::shared_ptr<CountingLauncher> launcher = std::make_shared<CountingLauncher>();
    PrivilegedAuthorization rights{launcher};
    bool searchStarted = false;
    std::filesystem::path notes, paint, vim, own, notesSettings, notesCache;

    UninstallPageMachine() {
        AdministratorRightsFlag::set(false);
        const PlatformContext& context = machine.context();
        std::filesystem::path user = machine.userApplications();
        notes = machine.writeEntry(user / "org.example.Notes.desktop", "Notes");
        paint = machine.writeEntry(user / "org.example.Paint.desktop", "Paint");
        own = machine.writeEntry(user / "com.quillby.pro.desktop", "Quillby Pro");
        vim = machine.writeEntry(machine.systemApplications() / "vim.desktop", "Vim");
        machine.packages->owners[vim.string()] = {"vim", "9.0.1378"};
        notesSettings = machine.writeFile(context.xdgConfigHome / "org.example.Notes/settings",
                                          std::string(1500, 's'));
        notesCache = machine.writeFile(context.xdgCacheHome / "org.example.Notes/pages",
                                       std::string(300, 'c'));
        machine.backends.authorization = &rights;
    }
    ~UninstallPageMachine() { AdministratorRightsFlag::set(false); }
};

// Gives a fixture tree to the account asOrdinaryUser runs as, and opens the folders above it.
inline void handToOrdinaryUser(const std::filesystem::path& tree,
                               const std::filesystem::path& top) {
    if (::geteuid() != 0) return;
    namespace fs = std::filesystem;
    for (fs::path folder = tree;; folder = folder.parent_path()) {
        fs::permissions(folder,
                        fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                            fs::perms::others_read | fs::perms::others_exec,
                        fs::perm_options::add);
        if (folder == top || folder == folder.parent_path()) break;
    }
    for (auto& entry : fs::recursive_directory_iterator(tree)) {
        ::lchown(entry.path().c_str(), kNobodyId, kNobodyId);
    }
    ::lchown(tree.c_str(), kNobodyId, kNobodyId);
}
