// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <vector>

#include "platform/PlatformContext.h"
#include "platform/SnapBackend.h"

namespace quillby {

// snapd through the snap tool: "snap list" for the installed snaps (with "--all" for their
// disabled revisions) and "snap remove" to remove one or one revision of it.
class SnapCommand final : public SnapBackend {
  public:
    explicit SnapCommand(PlatformContext context) : context_(std::move(context)) {}

    std::vector<SnapPackage> installedSnaps() override;
    bool remove(const std::string& name, std::string& why) override;
    std::optional<std::vector<SnapRevision>> disabledRevisions() override;
    bool removeRevision(const SnapRevision& revision, std::string& why) override;

    // Reads the table of "snap list": name and version of every row under the heading.
    static std::vector<SnapPackage> parseList(const std::string& text);
    // True for a snap name, with or without an instance key: lower-case letters, digits, "-"
    // and "_", not starting with "-".
    static bool isSnapName(const std::string& name);
    // Reads the table of "snap list --all": the rows whose notes say "disabled" (sizes 0).
    static std::vector<SnapRevision> parseDisabled(const std::string& text);

  private:
    PlatformContext context_;
};

}  // namespace quillby
