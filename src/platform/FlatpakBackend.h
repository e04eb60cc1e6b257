// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <vector>

namespace quillby {

// One installed Flatpak application.
struct FlatpakApp {
    std::string id;            // "org.gimp.GIMP"
    std::string version;       // "" when the application does not say
    std::string installation;  // "user", "system" or the name of another installation
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
};

}  // namespace quillby
