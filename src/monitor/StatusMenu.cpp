// SPDX-License-Identifier: GPL-3.0-or-later
#include "monitor/StatusMenu.h"

namespace quillby {

namespace {

bool isMemoryRow(const StatusMenuEntry& entry) {
    return entry.type == StatusMenuEntry::Type::Row &&
           entry.row.myStorage == VolumeRow::kMemoryKind;
}

}  // namespace

StatusMenuEntry* findMenuItem(StatusMenu& menu, const std::string& title) {
    for (auto& entry : menu) {
        if (entry.type == StatusMenuEntry::Type::Row && !isMemoryRow(entry) &&
            entry.title == title) {
            return &entry;
        }
    }
    return nullptr;
}

StatusMenuEntry* findMemoryRow(StatusMenu& menu) {
    for (auto& entry : menu) {
        if (isMemoryRow(entry)) return &entry;
    }
    return nullptr;
}

}  // namespace quillby
