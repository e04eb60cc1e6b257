// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "core/apps/AppItems.h"
#include "platform/LoginItemsBackend.h"

namespace quillby {

// One login item with its record and its position in the list.
struct LoginItemRecord {
    int index = -1;
    LoginItemEntry entry;
    AppItems record;
};

// Records of the login-items list, and the program's own launch-at-login switch.
class AppInformation {
  public:
    // Every login item whose URL names a local file, with its record and position; nothing when
    // the list cannot be read.
    static std::optional<std::vector<LoginItemRecord>> loginItemRecords();
    // True for the record of an item the list reports as missing (named "msng"): the page
    // leaves such records out.
    static bool isMissingItem(const AppItems& record);

    // Appends one record per login item, in the list's order (nothing when the list cannot be
    // read). Logs "appsInfo is not nil ,so return" and does nothing when `appsInfo` is null.
    static void getAppInfo(std::vector<AppItems>* appsInfo);

    // A record for the file at `path`: its name (a desktop entry's localised Name, else the
    // path's last component), icon, identifier (a desktop entry's file name without
    // ".desktop"), creation date, and `hide` as its mark.
    static AppItems constructAppItem(const std::string& path, bool hide);

    // The record of one login item: constructAppItem for the path its URL names, with the item's
    // own name, icon, identifier and system flag. Nothing (logged) when the URL is not a local
    // file.
    static std::optional<AppItems> constructLoginItem(const LoginItemEntry& entry);

    // "LoginCheck" as the text "%d".
    static std::string readeFileOfLaunchAppWhenLogin();
    // Stores the integer value of `text` ("1", "0") as "LoginCheck", written at once.
    static void writeFileOfLaunchAppWhenLogin(const std::string& text);

    // The launch-at-login switch: stores `state` (0 or 1) as "LoginCheck", then
    // registerProgramAtLogin. A failed add logs "Registry login item failed!!!" (and
    // "LoginCheck" stays 1); false then.
    static bool changeLaunchAppWhenLogin(int state, const std::filesystem::path& programExecutable);

    // Removes the program's login item if there is one and, when `add`, adds it again, not
    // hidden. False when the add failed.
    static bool registerProgramAtLogin(bool add, const std::filesystem::path& programExecutable);

    // The program's application entry: the installed "com.quillby.pro.desktop" of the data
    // folders, else one written into the program's data folder that starts `programExecutable`.
    static std::filesystem::path programEntryPath(const std::filesystem::path& programExecutable);

    // Keeps the switch in step after a login item was removed: when it was the program's own,
    // "LoginCheck" becomes 0 and "refMenuItemWhenDeleteAndAdd" is posted.
    static void loginItemRemoved(const AppItems& record);

    // True when the record is the program's own login item.
    static bool isProgramItem(const AppItems& record);
};

}  // namespace quillby
