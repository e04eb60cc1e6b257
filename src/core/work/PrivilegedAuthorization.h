// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <filesystem>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>

#include "platform/PrivilegedHelperLauncher.h"
#include "platform/PrivilegedHelperSession.h"

namespace quillby {

// A handle on the held administrator rights: while it is not empty, its holder may ask the
// privileged helper to act.
using AuthorizationRef = std::shared_ptr<PrivilegedHelperSession>;

// The administrator rights of the process: acquired once (the helper is started once per run,
// through pkexec unless the program already runs as root), kept, and reused by every
// privileged removal until freed.
class PrivilegedAuthorization {
  public:
    // The process-wide instance, made on first use; it starts the helper through the launcher
    // installed in Services.
    static PrivilegedAuthorization& sharedAuthorization();

    // An instance starting the helper through `launcher` (nullptr: the one in Services).
    explicit PrivilegedAuthorization(std::shared_ptr<PrivilegedHelperLauncher> launcher = nullptr);
    // Frees the held rights.
    ~PrivilegedAuthorization();
    PrivilegedAuthorization(const PrivilegedAuthorization&) = delete;
    PrivilegedAuthorization& operator=(const PrivilegedAuthorization&) = delete;

    // Acquires the rights (the user may be asked for an administrator's password); true when
    // they are held afterwards. Asks only once while they are held.
    bool allocAuthorization();
    // Releases the rights, ending the helper. Always true.
    bool freeAuthorization();
    // A handle for one privileged run, or an empty one when no rights are held.
    AuthorizationRef getAuthorizationRet();
    // True while rights are held.
    bool isValidAuth();

    // Removes the item (recursively) with administrator rights; true exactly when the
    // helper's removal reported nothing. False without running anything when no rights are
    // held or the path is not an absolute, normalised path other than "/". When it fails,
    // `why` (if given) receives the helper's reason, or stays empty when there is none.
    bool removeItem(const std::filesystem::path& path, std::string* why = nullptr);
    // Asks the helper to clean an item of a system category through that category's request
    // (`categoryVerb`): the helper itself checks that the item lies in one of the category's
    // fixed folders and deletes only what the category's rule lets go. True when it answered
    // without an error.
    bool cleanCategoryItem(std::string_view categoryVerb, const std::filesystem::path& path);

  private:
    bool sendRequest(std::string_view verb, const std::filesystem::path& path,
                     std::string* why = nullptr);

    std::mutex mutex_;
    std::shared_ptr<PrivilegedHelperLauncher> launcher_;
    bool isValidAuth_ = false;
    AuthorizationRef authorizationRef_;
};

}  // namespace quillby
