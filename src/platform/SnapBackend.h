// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace quillby {

// One installed snap.
struct SnapPackage {
    std::string name;
    std::string version;
};

// A revision of a snap that snapd keeps, disabled, to go back to.
struct SnapRevision {
    std::string name;
    std::string version;
    std::string revision;     // "1033"
    std::uint64_t bytes = 0;  // the size of its package file
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

    // The disabled revisions of every snap; nothing when snapd is missing.
    virtual std::optional<std::vector<SnapRevision>> disabledRevisions() { return std::nullopt; }
    // Removes that one revision through snapd, once it is still disabled. False, with the reason
    // in `why`, when it is still there.
    virtual bool removeRevision(const SnapRevision& revision, std::string& why) {
        why = "snap is not installed";
        (void)revision;
        return false;
    }
};

}  // namespace quillby
