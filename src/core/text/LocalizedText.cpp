// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/text/LocalizedText.h"

#include <algorithm>
#include <iterator>

namespace quillby {

namespace {

struct Text {
    std::string_view key;
    std::string_view english;
};

constexpr Text kEnglish[] = {
    {"CANNOT_OPEN_FINDER", "The folder cannot be opened in the file manager."},
    {"CLEAN_FILES_COUNT", "Files cleaned:"},
    {"CLEAN_FILES_SIZE", "Space freed:"},
    {"DESC_CLEAN_DOWNLOADS",
     "Files you downloaded. Check them before cleaning: they are deleted for good."},
    {"DESC_CLEAN_SYS_CACHES",
     "Packages kept by the package manager after installing them. They are downloaded again "
     "when needed."},
    {"DESC_CLEAN_SYS_LOGS", "Rotated and archived system logs. The logs in use are never touched."},
    {"DESC_CLEAN_TRASH", "Items in the trash of your home folder and of your internal disks."},
    {"DESC_CLEAN_USR_CACHES",
     "Caches kept by your applications. They are rebuilt when an application needs them."},
    {"DESC_CLEAN_USR_LOGS", "Log files written by your applications and your session."},
    {"DESC_FREESPACE_MONITOR", "Every mounted disk with its capacity and free space."},
    {"DESC_UNINSTALL",
     "Remove applications together with their settings, caches and data. Settings and data go "
     "to the trash, where they can be put back; caches are deleted."},
    {"DISK_IMAGE", "Disk Images"},
    {"EXTERNAL_STORAGE", "External Storage"},
    {"FREE_MEMORY", "Free Memory"},
    {"LOCAL_STORAGE", "Local Storage"},
    {"NETWOR_STORAGE", "Network Storage"},
    {"NO_FOLDER_CONTENT", "Nothing to clean: no clean category is enabled."},
    {"NO_HAVE_REMOVABLE", "There is no removable disk to eject."},
    {"SUPER_DRIVER", "Optical Drives"},
    {"TITLE_CLEAN_DOWNLOADS", "User Downloads"},
    {"TITLE_CLEAN_SYS_CACHES", "System Caches"},
    {"TITLE_CLEAN_SYS_LOGS", "System Logs"},
    {"TITLE_CLEAN_SYS_MYMAC", "My Computer"},
    {"TITLE_CLEAN_TRASH", "User Trash"},
    {"TITLE_CLEAN_USR_CACHES", "User Caches"},
    {"TITLE_CLEAN_USR_LOGS", "User Logs"},
    {"TITLE_FREESPACE_MONITOR", "Free Space Monitor"},
    {"TITLE_UNINSTALL", "Uninstall Applications"},
};

const Text* find(std::string_view key) {
    auto it = std::lower_bound(std::begin(kEnglish), std::end(kEnglish), key,
                               [](const Text& text, std::string_view k) { return text.key < k; });
    return (it != std::end(kEnglish) && it->key == key) ? it : nullptr;
}

}  // namespace

std::string localizedString(std::string_view key) {
    const Text* text = find(key);
    return std::string(text ? text->english : key);
}

bool hasLocalizedString(std::string_view key) {
    return find(key) != nullptr;
}

}  // namespace quillby
