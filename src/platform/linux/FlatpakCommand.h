// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <vector>

#include "platform/FlatpakBackend.h"
#include "platform/PlatformContext.h"
#include "platform/linux/SystemTool.h"

namespace quillby {

// Flatpak through its command-line tool: "flatpak list" for the installed applications and
// runtimes, "flatpak pin" for the pinned ones and "flatpak uninstall --noninteractive" to remove
// one.
class FlatpakCommand final : public FlatpakBackend {
  public:
    explicit FlatpakCommand(PlatformContext context) : context_(std::move(context)) {}

    std::vector<FlatpakApp> installedApps() override;
    bool uninstall(const std::string& id, const std::string& installation,
                   std::string& why) override;
    std::optional<std::vector<FlatpakUnusedRuntime>> unusedRuntimes() override;
    bool uninstallUnusedRuntime(const FlatpakUnusedRuntime& runtime, std::string& why) override;

    // Reads "application<TAB>version<TAB>installation" lines; a heading or any line whose
    // first field is not an application ID is skipped.
    static std::vector<FlatpakApp> parseList(const std::string& text);
    // True for a name Flatpak accepts as an application ID ("org.gimp.GIMP"): letters, digits,
    // "_", "-" and at least one ".", not starting with "-" or ".".
    static bool isApplicationId(const std::string& id);
    // The unused runtimes among `runtimes` ("ref<TAB>installation<TAB>size" lines), given the
    // applications' "application<TAB>runtime" lines and the pinned patterns of each
    // installation. Only runtimes proper (IDs ending in ".Platform", ".Sdk" or ".BaseApp") are
    // judged: an extension's owner cannot be told from the lists, so extensions are never
    // offered, and Flatpak removes a runtime's own extensions with it.
    static std::vector<FlatpakUnusedRuntime> unusedOf(const std::string& runtimes,
                                                      const std::string& apps,
                                                      const std::string& pinned);
    // Bytes of a size as Flatpak prints it ("1.2 GB", "805.3 MB", "512 bytes"); 0 when unreadable.
    static std::uint64_t parseSize(const std::string& text);

  private:
    // The output of `flatpak ARGUMENTS`, or nothing when it failed.
    std::optional<std::string> listing(const SystemTool& flatpak,
                                       const std::vector<std::string>& arguments) const;

    PlatformContext context_;
};

}  // namespace quillby
