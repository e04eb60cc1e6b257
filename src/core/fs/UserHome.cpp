// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/fs/UserHome.h"

#include <sys/stat.h>

#include "core/events/Log.h"
#include "core/fs/PathRules.h"

namespace quillby {

namespace fs = std::filesystem;

UserHome::UserHome(fs::path home, uid_t uid) : home_(plainFolder(home)), uid_(uid) {}

fs::path UserHome::plainFolder(const fs::path& folder) {
    return std::string(withoutTrailingSlashes(folder.lexically_normal().string()));
}

fs::path UserHome::folderFromEnvironment(const fs::path& chosen, const fs::path& fallback,
                                         const char* what) const {
    fs::path folder = plainFolder(chosen);
    if (!liesInside(folder.string(), home_.string())) {
        QWLog("%s %s lies outside the home folder: using %s", what, folder.c_str(),
              fallback.c_str());
        return plainFolder(fallback);
    }
    struct stat info {};
    if (::lstat(folder.c_str(), &info) == 0 && info.st_uid != uid_) {
        QWLog("%s %s is not the user's own: using %s", what, folder.c_str(), fallback.c_str());
        return plainFolder(fallback);
    }
    return folder;
}

std::string UserHome::refusal() const {
    struct stat info {};
    if (::stat(home_.c_str(), &info) != 0 || info.st_uid == uid_) return "";
    return "The home folder " + home_.string() + " belongs to another user (uid " +
           std::to_string(info.st_uid) + "); run Quillby Pro as that user to clean it.";
}

}  // namespace quillby
