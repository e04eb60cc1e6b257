#include "monitor/StatusMenu.h"

StatusMenuEntry* findMenuItem(StatusMenu& menu, const std::string& title) {
    for (auto& entry : menu) {
        if (entry.type == StatusMenuEntry::Type::Row && entry.title == title) return &entry;
    }
    return nullptr;
}
