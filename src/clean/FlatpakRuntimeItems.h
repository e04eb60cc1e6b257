// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <memory>

#include "clean/CleanToolItems.h"
#include "platform/FlatpakBackend.h"

namespace quillby {

// The Flatpak runtimes no installed application runs on, each an item that "flatpak uninstall"
// removes.
class FlatpakRuntimeItems final : public CleanToolItems {
  public:
    explicit FlatpakRuntimeItems(std::shared_ptr<FlatpakBackend> flatpak)
        : flatpak_(std::move(flatpak)) {}

    std::string_view toolName() const override { return "flatpak"; }
    std::optional<std::vector<CleanToolItem>> list(
        std::span<const CleanFileInfo> listedFiles) const override;
    CleanToolRemoval remove(const CleanToolItem& item,
                            PrivilegedAuthorization* authorization) const override;

  private:
    std::shared_ptr<FlatpakBackend> flatpak_;
};

}  // namespace quillby
