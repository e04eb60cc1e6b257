// SPDX-License-Identifier: GPL-3.0-or-later
#include "clean/FlatpakRuntimeItems.h"

namespace quillby {

namespace {

// "flatpak:system:runtime/org.gnome.Platform/x86_64/45"
std::string keyOf(const FlatpakUnusedRuntime& runtime) {
    return "flatpak:" + runtime.installation + ":" + runtime.ref;
}

// "org.gnome.Platform 45 (system)"
std::string nameOf(const FlatpakUnusedRuntime& runtime) {
    std::string ref = runtime.ref.substr(runtime.ref.find('/') + 1);
    std::string id = ref.substr(0, ref.find('/'));
    std::string branch = ref.substr(ref.rfind('/') + 1);
    return id + " " + branch + " (" + runtime.installation + ")";
}

// "Flatpak runtime no installed application uses, system installation"
std::string descriptionOf(const FlatpakUnusedRuntime& runtime) {
    return "Flatpak runtime no installed application uses, " + runtime.installation +
           " installation";
}

}  // namespace

std::optional<std::vector<CleanToolItem>> FlatpakRuntimeItems::list(
    std::span<const CleanFileInfo>) const {
    // Flatpak's files lie in no category folder: nothing listed is counted again.
    auto runtimes = flatpak_->unusedRuntimes();
    if (!runtimes) return std::nullopt;
    std::vector<CleanToolItem> items;
    for (const auto& runtime : *runtimes) {
        items.push_back({nameOf(runtime), keyOf(runtime), runtime.bytes, "application-x-addon",
                         descriptionOf(runtime)});
    }
    return items;
}

CleanToolRemoval FlatpakRuntimeItems::remove(const CleanToolItem& item,
                                             PrivilegedAuthorization*) const {
    // Flatpak asks for an administrator's approval itself for the system installation.
    CleanToolRemoval removal;
    FlatpakUnusedRuntime runtime;
    std::string key = item.key;
    std::size_t first = key.find(':');
    std::size_t second = key.find(':', first + 1);
    if (!key.starts_with("flatpak:") || second == std::string::npos) {
        removal.why = "not a Flatpak runtime";
        return removal;
    }
    runtime.installation = key.substr(first + 1, second - first - 1);
    runtime.ref = key.substr(second + 1);
    removal.removed = flatpak_->uninstallUnusedRuntime(runtime, removal.why);
    if (removal.removed) removal.freedBytes = item.bytes;
    return removal;
}

}  // namespace quillby
