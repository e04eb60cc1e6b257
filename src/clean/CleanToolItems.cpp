// SPDX-License-Identifier: GPL-3.0-or-later
#include "clean/CleanToolItems.h"

#include "clean/CleanCategory.h"
#include "clean/FlatpakRuntimeItems.h"
#include "clean/JournalTrimItem.h"
#include "clean/SnapRevisionItems.h"
#include "platform/Services.h"

namespace quillby {

CleanToolSources CleanToolItems::ofCategory(int category) {
    CleanToolSources sources;
    if (category == CleanCategoryId::SystemCaches) {
        if (auto flatpak = Services::get<FlatpakBackend>()) {
            sources.push_back(std::make_shared<FlatpakRuntimeItems>(flatpak));
        }
        if (auto snap = Services::get<SnapBackend>()) {
            sources.push_back(std::make_shared<SnapRevisionItems>(snap));
        }
    } else if (category == CleanCategoryId::SystemLogs) {
        if (auto journal = Services::get<SystemJournal>()) {
            sources.push_back(
                std::make_shared<JournalTrimItem>(journal, JournalTrimItem::limitFromSettings()));
        }
    }
    return sources;
}

}  // namespace quillby
