// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <memory>

#include "clean/CleanToolItems.h"
#include "platform/SnapBackend.h"

namespace quillby {

// The disabled revisions snapd keeps of each snap, each an item that "snap remove --revision"
// removes.
class SnapRevisionItems final : public CleanToolItems {
  public:
    explicit SnapRevisionItems(std::shared_ptr<SnapBackend> snap) : snap_(std::move(snap)) {}

    std::string_view toolName() const override { return "snap"; }
    std::optional<std::vector<CleanToolItem>> list(
        std::span<const CleanFileInfo> listedFiles) const override;
    CleanToolRemoval remove(const CleanToolItem& item,
                            PrivilegedAuthorization* authorization) const override;

  private:
    std::shared_ptr<SnapBackend> snap_;
};

}  // namespace quillby
