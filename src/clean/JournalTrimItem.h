// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <memory>

#include "clean/CleanToolItems.h"
#include "platform/SystemJournal.h"

namespace quillby {

// The system journal's space above the size the user keeps: one item, listed when the journal
// is larger, that the privileged helper frees with "journalctl --vacuum-size". journalctl only
// ever removes archived journal files that way; the active ones stay. Archived journal files
// listed as files of the same scan are left out of the item's size (see list()).
class JournalTrimItem final : public CleanToolItems {
  public:
    JournalTrimItem(std::shared_ptr<SystemJournal> journal, std::uint64_t limitBytes)
        : journal_(std::move(journal)), limitBytes_(limitBytes) {}

    std::string_view toolName() const override { return "journalctl"; }
    std::optional<std::vector<CleanToolItem>> list(
        std::span<const CleanFileInfo> listedFiles) const override;
    // Needs `authorization`: without it nothing runs and rightsMayHelp is set.
    CleanToolRemoval remove(const CleanToolItem& item,
                            PrivilegedAuthorization* authorization) const override;

    // The limit of the "SystemJournalLimit" setting, in bytes.
    static std::uint64_t limitFromSettings();

  private:
    std::shared_ptr<SystemJournal> journal_;
    std::uint64_t limitBytes_;
};

}  // namespace quillby
