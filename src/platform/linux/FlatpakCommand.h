// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <vector>

#include "platform/FlatpakBackend.h"
#include "platform/PlatformContext.h"

namespace quillby {

// Flatpak through its command-line tool: "flatpak list" for the installed applications and
// "flatpak uninstall --noninteractive" to remove one.
class FlatpakCommand final : public FlatpakBackend {
  public:
    explicit FlatpakCommand(PlatformContext context) : context_(std::move(context)) {}

    std::vector<FlatpakApp> installedApps() override;
    bool uninstall(const std::string& id, const std::string& installation,
                   std::string& why) override;

    // Reads "application<TAB>version<TAB>installation" lines; a heading or any line whose
    // first field is not an application ID is skipped.
    static std::vector<FlatpakApp> parseList(const std::string& text);
    // True for a name Flatpak accepts as an application ID ("org.gimp.GIMP"): letters, digits,
    // "_", "-" and at least one ".", not starting with "-" or ".".
    static bool isApplicationId(const std::string& id);

  private:
    PlatformContext context_;
};

}  // namespace quillby
