// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

namespace quillby {

// A system service that removes packages for an ordinary user and asks for an administrator's
// approval itself (PackageKit).
class PackageRemovalService {
  public:
    virtual ~PackageRemovalService() = default;

    // True when the service answers or can be started on demand.
    virtual bool isRunning() = 0;
    // Removes `package`, and only it (never packages that depend on it), when it is the package
    // that installed `ownedPath`. False, with the reason in `why`, otherwise.
    virtual bool removePackage(const std::string& package, const std::string& ownedPath,
                               std::string& why) = 0;
};

}  // namespace quillby
