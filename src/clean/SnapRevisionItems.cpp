// SPDX-License-Identifier: GPL-3.0-or-later
#include "clean/SnapRevisionItems.h"

namespace quillby {

std::optional<std::vector<CleanToolItem>> SnapRevisionItems::list(
    std::span<const CleanFileInfo>) const {
    // snapd's files lie in no category folder: nothing listed is counted again.
    auto revisions = snap_->disabledRevisions();
    if (!revisions) return std::nullopt;
    std::vector<CleanToolItem> items;
    for (const auto& revision : *revisions) {
        items.push_back({revision.name + " " + revision.version + " (disabled revision " +
                             revision.revision + ")",
                         "snap:" + revision.name + ":" + revision.revision, revision.bytes,
                         "application-x-addon",
                         "earlier snap revision kept to go back to; the one in use stays"});
    }
    return items;
}

CleanToolRemoval SnapRevisionItems::remove(const CleanToolItem& item,
                                           PrivilegedAuthorization*) const {
    // snapd asks for an administrator's approval itself.
    CleanToolRemoval removal;
    std::size_t first = item.key.find(':');
    std::size_t second = item.key.find(':', first + 1);
    if (!item.key.starts_with("snap:") || second == std::string::npos) {
        removal.why = "not a snap revision";
        return removal;
    }
    SnapRevision revision;
    revision.name = item.key.substr(first + 1, second - first - 1);
    revision.revision = item.key.substr(second + 1);
    removal.removed = snap_->removeRevision(revision, removal.why);
    if (removal.removed) removal.freedBytes = item.bytes;
    return removal;
}

}  // namespace quillby
