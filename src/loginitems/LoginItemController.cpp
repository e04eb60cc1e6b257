#include "loginitems/LoginItemController.h"

#include <filesystem>

#include "core/Log.h"
#include "loginitems/AppInformation.h"
#include "loginitems/LoginItemRegistry.h"

LoginItemController::LoginItemController(MainQueue& mainQueue) : mainQueue_(mainQueue) {
    updateLoginItemsList();
    std::weak_ptr<bool> alive = alive_;
    watch_ = LoginItemRegistry::watchLoginItems([this, alive] {
        mainQueue_.post([this, alive] {
            if (alive.lock()) updateLoginItemsList();
        });
    });
}

LoginItemController::~LoginItemController() {
    watch_.reset();  // no report runs after this
    alive_.reset();  // and reports already queued find the page gone
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

bool LoginItemController::delLoginItem(std::size_t row) {
    auto shown = allLoginItemsInfo.get();
    if (row >= shown.size() || row >= rowIdentifiers_.size()) return false;
    int index = LoginItemRegistry::indexForLoginItemWithIdentifier(rowIdentifiers_[row]);
    if (index == -1 || !LoginItemRegistry::removeLoginItemAtIndex(index)) return false;
    AppItems removed = shown[row];
    shown.erase(shown.begin() + static_cast<std::ptrdiff_t>(row));
    rowIdentifiers_.erase(rowIdentifiers_.begin() + static_cast<std::ptrdiff_t>(row));
    allLoginItemsInfo.set(std::move(shown));
    AppInformation::loginItemRemoved(removed);
    return true;
}

bool LoginItemController::changeHideState(std::size_t row) {
    auto shown = allLoginItemsInfo.get();
    if (row >= shown.size()) return false;
    std::error_code error;
    if (!std::filesystem::exists(shown[row].path, error)) {
        std::size_t before = shown.size();
        updateLoginItemsList();
        shown = allLoginItemsInfo.get();
        if (shown.size() != before) return false;
    }
    if (row >= rowIdentifiers_.size()) return false;
    auto entries = LoginItemRegistry::allLoginItems();
    if (!entries) return false;
    for (std::size_t index = 0; index < entries->size(); ++index) {
        if ((*entries)[index].identifier != rowIdentifiers_[row]) continue;
        bool hide = !(*entries)[index].hidden;
        if (!LoginItemRegistry::setLoginItemHiddenAtIndex(static_cast<int>(index), hide)) {
            return false;
        }
        shown[row].bIsSelected = !shown[row].bIsSelected;
        allLoginItemsInfo.set(std::move(shown));
        return true;
    }
    return false;
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
