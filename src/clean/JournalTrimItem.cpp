// SPDX-License-Identifier: GPL-3.0-or-later
#include "clean/JournalTrimItem.h"

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

std::optional<std::vector<CleanToolItem>> JournalTrimItem::list() const {
    auto usage = journal_->diskUsage();
    if (!usage) return std::nullopt;
    if (*usage <= limitBytes_) return std::vector<CleanToolItem>{};
    return std::vector<CleanToolItem>{
        {"System journal above " + std::to_string(limitBytes_ / kMegabyte) + " MB",
         "journalctl:--vacuum-size=" + std::to_string(limitBytes_), *usage - limitBytes_,
         "text-x-log"}};
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
