// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace quillby {

// One installed Flatpak application.
struct FlatpakApp {
    std::string id;            // "org.gimp.GIMP"
    std::string version;       // "" when the application does not say
    std::string installation;  // "user", "system" or the name of another installation
};

// An installed runtime that no installed application runs on.
struct FlatpakUnusedRuntime {
    std::string ref;           // "runtime/org.gnome.Platform/x86_64/45"
    std::string installation;  // "user" or "system"
    std::uint64_t bytes = 0;   // its installed size, as Flatpak reports it
};

// The Flatpak installations of the machine.
class FlatpakBackend {
  public:
    virtual ~FlatpakBackend() = default;

    // Every installed application of every installation; none when Flatpak is missing.
    virtual std::vector<FlatpakApp> installedApps() = 0;
    // Uninstalls application `id` from `installation` without asking questions (Flatpak asks
    // for an administrator's approval itself for a system installation). False, with the
    // reason in `why`, when it is still installed.
    virtual bool uninstall(const std::string& id, const std::string& installation,
                           std::string& why) = 0;

    // The runtimes of the user and system installations that no installed application runs on
    // (nor pins); nothing when Flatpak is missing.
    virtual std::optional<std::vector<FlatpakUnusedRuntime>> unusedRuntimes() {
        return std::nullopt;
    }
    // Uninstalls `runtime` through Flatpak, once Flatpak still lists it as unused. False, with
    // the reason in `why`, when it is still installed.
    virtual bool uninstallUnusedRuntime(const FlatpakUnusedRuntime& runtime, std::string& why) {
        why = "flatpak is not installed";
        (void)runtime;
        return false;
    }
};

}  // namespace quillby
