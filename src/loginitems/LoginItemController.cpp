// SPDX-License-Identifier: GPL-3.0-or-later
#include "loginitems/LoginItemController.h"

#include <algorithm>

#include <filesystem>

#include "core/events/Log.h"
#include "loginitems/AppInformation.h"
#include "loginitems/LoginItemRegistry.h"

namespace quillby {

LoginItemController::LoginItemController(MainQueue& mainQueue) : owner_(&mainQueue) {
    updateLoginItemsList();
    // Reports already queued when this controller goes are dropped with it.
    watch_ = LoginItemRegistry::watchLoginItems(
        [this, queue = owner_.queue()] { queue.post([this] { updateLoginItemsList(); }); });
}

LoginItemController::~LoginItemController() {
    watch_.reset();  // no report runs after this
}

void LoginItemController::updateLoginItemsList() {
    std::vector<AppItems> shown;
    shown.reserve(10);
    std::vector<std::string> identifiers;
    if (auto records = AppInformation::loginItemRecords()) {
        for (auto& item : *records) {
            if (AppInformation::isMissingItem(item.record)) continue;
            identifiers.push_back(item.entry.identifier);
            shown.push_back(std::move(item.record));
        }
    }
    rowIdentifiers_ = std::move(identifiers);
    allLoginItemsInfo.set(std::move(shown));
}

void LoginItemController::addLoginItems(const std::vector<std::string>& paths) {
    for (const auto& path : paths) LoginItemRegistry::addLoginItemWithPath(path, false);
    updateLoginItemsList();
}

std::optional<std::string> LoginItemController::identifierAt(std::size_t row) const {
    if (row >= allLoginItemsInfo.get().size() || row >= rowIdentifiers_.size()) return std::nullopt;
    return rowIdentifiers_[row];
}

bool LoginItemController::removeLoginItemWithIdentifier(const std::string& identifier) {
    int index = LoginItemRegistry::indexForLoginItemWithIdentifier(identifier);
    return index != -1 && LoginItemRegistry::removeLoginItemAtIndex(index);
}

std::optional<bool> LoginItemController::flipHiddenWithIdentifier(const std::string& identifier) {
    auto entries = LoginItemRegistry::allLoginItems();
    if (!entries) return std::nullopt;
    for (std::size_t index = 0; index < entries->size(); ++index) {
        if ((*entries)[index].identifier != identifier) continue;
        bool hide = !(*entries)[index].hidden;
        if (!LoginItemRegistry::setLoginItemHiddenAtIndex(static_cast<int>(index), hide)) {
            return std::nullopt;
        }
        return hide;
    }
    return std::nullopt;
}

void LoginItemController::loginItemRemoved(const std::string& identifier) {
    auto row = std::find(rowIdentifiers_.begin(), rowIdentifiers_.end(), identifier);
    if (row == rowIdentifiers_.end()) return;  // the change watch rebuilt the list meanwhile
    auto shown = allLoginItemsInfo.get();
    auto at = static_cast<std::size_t>(row - rowIdentifiers_.begin());
    if (at >= shown.size()) return;
    AppItems removed = shown[at];
    shown.erase(shown.begin() + static_cast<std::ptrdiff_t>(at));
    rowIdentifiers_.erase(row);
    allLoginItemsInfo.set(std::move(shown));
    AppInformation::loginItemRemoved(removed);
}

void LoginItemController::hiddenChanged(const std::string& identifier, bool hidden) {
    auto row = std::find(rowIdentifiers_.begin(), rowIdentifiers_.end(), identifier);
    if (row == rowIdentifiers_.end()) return;
    auto shown = allLoginItemsInfo.get();
    auto at = static_cast<std::size_t>(row - rowIdentifiers_.begin());
    if (at >= shown.size()) return;
    shown[at].bIsSelected = hidden;
    allLoginItemsInfo.set(std::move(shown));
}

bool LoginItemController::delLoginItem(std::size_t row) {
    auto identifier = identifierAt(row);
    if (!identifier || !removeLoginItemWithIdentifier(*identifier)) return false;
    loginItemRemoved(*identifier);
    return true;
}

bool LoginItemController::changeHideState(std::size_t row) {
    auto shown = allLoginItemsInfo.get();
    if (row >= shown.size()) return false;
    std::error_code error;
    if (!std::filesystem::exists(shown[row].path, error)) {
        std::size_t before = shown.size();
        updateLoginItemsList();
        if (allLoginItemsInfo.get().size() != before) return false;
    }
    auto identifier = identifierAt(row);
    if (!identifier) return false;
    auto hidden = flipHiddenWithIdentifier(*identifier);
    if (!hidden) return false;
    hiddenChanged(*identifier, *hidden);
    return true;
}

bool LoginItemController::acceptDrop(const LoginItemDrop& drop, std::size_t row) {
    if (drop.type == LoginItemDragType::privateRows) {
        auto shown = allLoginItemsInfo.get();
        std::vector<AppItems> reordered;
        std::vector<std::string> identifiers;
        for (std::size_t old : LoginItemDropRules::reorderedRows(shown.size(), drop.rows, row)) {
            reordered.push_back(std::move(shown[old]));
            if (old < rowIdentifiers_.size()) identifiers.push_back(rowIdentifiers_[old]);
        }
        rowIdentifiers_ = std::move(identifiers);
        allLoginItemsInfo.set(std::move(reordered));
        return true;
    }
    if (drop.type == LoginItemDragType::fileNames) {
        addLoginItems(drop.paths);
        return true;
    }
    if (drop.type == LoginItemDragType::plainText) {
        QWLog("zStringData =%s", LoginItemDropRules::asciiText(drop.text).c_str());
        return true;
    }
    return false;
}

}  // namespace quillby
