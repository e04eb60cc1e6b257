// SPDX-License-Identifier: GPL-3.0-or-later
#include "clean/JournalTrimItem.h"

#include "clean/LogNames.h"
#include "clean/SystemCleanFolders.h"
#include "core/settings/SettingsKeys.h"
#include "core/settings/UserDefaults.h"
#include "core/work/PrivilegedAuthorization.h"

namespace quillby {

namespace {

constexpr std::uint64_t kMegabyte = 1000 * 1000;
constexpr std::int64_t kDefaultLimitMegabytes = 200;

}  // namespace

std::uint64_t JournalTrimItem::limitFromSettings() {
    std::int64_t megabytes =
        UserDefaults::standardUserDefaults().integerForKey(SettingsKey::SystemJournalLimit);
    // Unset (the command line registers no preferences) or out of range: the default.
    if (megabytes < SystemCleanFolders::kJournalLimitMinimumMegabytes) {
        megabytes = kDefaultLimitMegabytes;
    }
    return static_cast<std::uint64_t>(megabytes) * kMegabyte;
}

std::optional<std::vector<CleanToolItem>> JournalTrimItem::list(
    std::span<const CleanFileInfo> listedFiles) const {
    auto usage = journal_->diskUsage();
    if (!usage) return std::nullopt;
    // The trim deletes archived journal files, the same files System Logs lists wherever it can
    // read them. The item counts only what trimming frees beyond those and is not offered when
    // that is nothing: ticking both counts no byte twice, and no archived file hides behind it.
    std::uint64_t listedBytes = 0;
    int listedCount = 0;
    for (const auto& file : listedFiles) {
        if (file.toolIndex >= 0 || !LogNames::isArchivedJournal(file.name)) continue;
        listedBytes += file.fileSizeNum;
        ++listedCount;
    }
    std::uint64_t keptOrListed = limitBytes_ + listedBytes;
    if (*usage <= keptOrListed) return std::vector<CleanToolItem>{};
    std::string description = "oldest archived systemd journal files";
    if (listedCount > 0) {
        description += " besides " + std::to_string(listedCount) +
                       (listedCount == 1 ? " listed as a file" : " listed as files");
    }
    return std::vector<CleanToolItem>{
        {"System journal above " + std::to_string(limitBytes_ / kMegabyte) + " MB",
         "journalctl:--vacuum-size=" + std::to_string(limitBytes_), *usage - keptOrListed,
         "text-x-log", description + "; the active journal stays"}};
}

CleanToolRemoval JournalTrimItem::remove(const CleanToolItem& item,
                                         PrivilegedAuthorization* authorization) const {
    CleanToolRemoval removal;
    AuthorizationRef helper = authorization ? authorization->getAuthorizationRet() : nullptr;
    if (!helper) {
        removal.why = "needs administrator rights";
        removal.rightsMayHelp = true;
        return removal;
    }
    auto before = journal_->diskUsage();
    auto answer =
        helper->request(SystemCleanFolders::kJournalVacuumVerb, std::to_string(limitBytes_));
    if (!answer || *answer != "ok") {
        removal.why =
            answer && answer->starts_with("error ") ? answer->substr(6) : "the helper has gone";
        return removal;
    }
    removal.removed = true;
    auto after = journal_->diskUsage();
    removal.freedBytes = before && after ? (*before > *after ? *before - *after : 0) : item.bytes;
    return removal;
}

}  // namespace quillby
