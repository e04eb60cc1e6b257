// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "core/apps/DesktopEntry.h"
#include "platform/LoginItemsBackend.h"
#include "platform/PlatformContext.h"

namespace quillby {

// The login items of a Linux desktop: XDG autostart entries. The list merges the user's
// $XDG_CONFIG_HOME/autostart with the system's $XDG_CONFIG_DIRS/*/autostart (a user file
// overrides the system file of the same name; the first system folder wins among them), ordered
// by file name. An item's URL is what its Exec starts, found through PATH; "Hidden" is the
// entry's Hidden key, written into the user's folder (for a system item, as an override that is
// deleted again once it says nothing the system entry does not). Files that are not desktop
// entries are skipped with a log line. The file operations never time out.
class AutostartLoginItems final : public LoginItemsBackend {
  public:
    explicit AutostartLoginItems(PlatformContext context);

    int copyLoginItems(std::vector<LoginItemEntry>& entries) override;
    int addURLAtEnd(const std::string& url, bool hidden) override;
    int removeAtIndex(std::size_t index) override;
    int setHiddenAtIndex(std::size_t index, bool hidden) override;
    std::string itemURLForPath(const std::string& path) override;
    std::unique_ptr<ChangeWatch> watchChanges(std::function<void()> changed) override;

    std::filesystem::path userFolder() const;
    std::vector<std::filesystem::path> systemFolders() const;

  private:
    // One readable item of the merged list with the files behind it.
    struct Listed {
        std::string identifier;
        std::filesystem::path userFile;    // empty when the user has none
        std::filesystem::path systemFile;  // empty for the user's own items
        DesktopEntry entry;
    };
    // A new entry for the user's folder: its preferred file name and text.
    struct NewEntry {
        std::string fileName;
        std::string text;
    };

    // Every item name of the merged list (malformed files included), by name.
    std::vector<std::string> itemNames() const;
    std::vector<Listed> listItems() const;
    LoginItemEntry describe(const Listed& item) const;
    std::string targetURL(const DesktopEntry& entry, const std::filesystem::path& file) const;
    std::optional<std::filesystem::path> findExecutable(const std::string& name) const;
    std::optional<NewEntry> newEntryFor(const std::filesystem::path& path, bool hidden) const;
    int writeUserFile(const std::string& fileName, const std::string& text) const;

    PlatformContext context_;
};

}  // namespace quillby
