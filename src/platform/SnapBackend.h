// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <vector>

namespace quillby {

// One installed snap.
struct SnapPackage {
    std::string name;
    std::string version;
};

// The snaps of the machine (snapd).
class SnapBackend {
  public:
    virtual ~SnapBackend() = default;

    // Every installed snap; none when snapd is missing or does not answer.
    virtual std::vector<SnapPackage> installedSnaps() = 0;
    // Removes snap `name` (snapd asks for an administrator's approval itself). False, with the
    // reason in `why`, when it is still installed.
    virtual bool remove(const std::string& name, std::string& why) = 0;
};

}  // namespace quillby
