// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <sys/types.h>
#include <filesystem>
#include <string>

namespace quillby {

// The running user's home folder, and what the program may take from the environment for the
// folders it cleans, removes from and writes in.
class UserHome {
  public:
    UserHome(std::filesystem::path home, uid_t uid);

    // A folder named by the environment (an XDG variable, user-dirs.dirs) when it lies inside the
    // home and, if it exists, belongs to the user: run as root with a variable left pointing at a
    // shared folder, another user's files would otherwise be cleaned or removed. Else
    // `fallback`, with a log line naming what was refused (`what`). Either in plain form.
    std::filesystem::path folderFromEnvironment(const std::filesystem::path& chosen,
                                                const std::filesystem::path& fallback,
                                                const char* what) const;

    // Why the program must neither write into the home nor clean it: the home belongs to another
    // user (root with that user's HOME, as `sudo -E` leaves it), whose own runs would then meet
    // root's files there. "" when the home is the user's own or does not exist.
    std::string refusal() const;

    // A folder's path with no "." or ".." and no trailing "/". Nothing on the way is resolved.
    static std::filesystem::path plainFolder(const std::filesystem::path& folder);

  private:
    std::filesystem::path home_;
    uid_t uid_;
};

}  // namespace quillby
