// SPDX-License-Identifier: GPL-3.0-or-later
#include "clean/SystemCleanModel.h"

#include <algorithm>
#include <any>
#include <numeric>

#include "clean/CleanCategory.h"
#include "clean/CleanHistory.h"
#include "clean/CleanQuestion.h"
#include "core/events/EventBus.h"
#include "core/events/Events.h"
#include "core/settings/PreferenceViewController.h"
#include "core/text/UtilityFunction.h"
#include "core/work/AdministratorRightsFlag.h"
#include "core/work/Asker.h"
#include "core/work/MainQueue.h"

namespace quillby {

namespace {

constexpr const char* kAdminAccessAlert = "Some files that require admin access can't be removed!";
constexpr const char* kItemsLeftAlert = "Some items could not be removed.";

bool isCategoryRow(int row) {
    return row >= 1 && row <= CleanCategoryId::Count;
}

std::uint64_t checkedBytesOf(const ScanViewController& list) {
    std::uint64_t bytes = 0;
    for (const auto& record : list.scanFiles.get()) {
        if (record.bIsSelected) bytes += record.fileSizeNum;
    }
    return bytes;
}

bool hasChecked(const ScanViewController& list) {
    auto records = list.scanFiles.get();
    return std::any_of(records.begin(), records.end(),
                       [](const CleanFileInfo& record) { return record.bIsSelected; });
}

}  // namespace

SystemCleanModel::SystemCleanModel(Options options)
    : options_(std::move(options)),
      retry_({.mainQueue = options_.mainQueue, .authorization = options_.authorization}) {
    for (int id = 0; id < CleanCategoryId::Count; ++id) {
        tableControllers_[id] = std::make_unique<ScanViewController>(id);
    }
    unlocked_ = AdministratorRightsFlag::isSet();
    // A stored "some" names items of an earlier run that nothing here lists: it is none.
    for (int id = 0; id < CleanCategoryId::Count; ++id) {
        if (PreferenceViewController::categoryClicked(id) == 2) {
            PreferenceViewController::setCategoryClicked(id, 0);
        }
    }
    observeEvents();
}

SystemCleanModel::~SystemCleanModel() {
    // The lists' observers go first; each list then waits for its own worker.
    subscriptions_.clear();
}

void SystemCleanModel::observeEvents() {
    for (int id = 0; id < CleanCategoryId::Count; ++id) {
        ScanViewController& controller = list(id);
        // A worker publishes the running total for every entry; the row hears of it on the main
        // thread, once for all the totals that came while the previous news waited there.
        subscriptions_.push_back(
            controller.filesSize.observe([this, id, back = owner_.queue()](const std::string&) {
                if (sizeUpdatePosted_[id].exchange(true)) return;
                back.post([this, id] {
                    sizeUpdatePosted_[id] = false;
                    EventBus::defaultCenter().post(Events::refNewTableViewSizeLabel,
                                                   UserInfo{{EventKeys::rowNum, id + 1}});
                });
            }));
        subscriptions_.push_back(controller.scanFinished.observe([this, id](bool finished) {
            if (finished) scanFinished(id);
        }));
        subscriptions_.push_back(controller.cleanFinished.observe([this, id](bool finished) {
            if (finished) categoryCleaned(id);
        }));
    }
    auto& bus = EventBus::defaultCenter();
    for (const char* name : {Events::cleanShowSelectNumInBottom, Events::selectedRowInFastClean,
                             Events::refNewTableViewSizeLabel}) {
        subscriptions_.push_back(bus.observe(name, [this](const Event&) { notify(); }));
    }
    subscriptions_.push_back(bus.observe(Events::updateSelectNumber, [this](const Event& event) {
        updateSelectNumber(event.object);
    }));
    subscriptions_.push_back(bus.observe(Events::changeCheckBox, [this](const Event& event) {
        const auto* tag = userInfoValue<int>(event, EventKeys::tag);
        const auto* flag = userInfoValue<bool>(event, EventKeys::flag);
        if (tag && flag) changeCheckBox(*tag, *flag);
    }));
    subscriptions_.push_back(bus.observe(Events::changeLockState, [this](const Event&) {
        unlocked_ = AdministratorRightsFlag::isSet();
        notify();
    }));
}

void SystemCleanModel::selectRow(int row) {
    selectRowNum_ = row;
    notify();
}

void SystemCleanModel::scan() {
    if (cleaning_) return;
    if (isCancelButton_) {
        stop();
        return;
    }
    isShowCleanedSize_ = false;
    isCleanFinshed_ = false;
    stopping_ = false;
    scanStopped_ = false;
    cleanedSize_ = {};
    finishScanCount_ = 0;
    isCancelButton_ = true;
    scanObjsArr_.clear();
    setSubPage(MainPage);
    for (int id = 0; id < CleanCategoryId::Count; ++id) {
        ScanViewController& controller = list(id);
        checkedBefore_[id].clear();
        for (const auto& record : controller.scanFiles.get()) {
            if (record.bIsSelected) checkedBefore_[id].insert(record.path);
        }
        busy_[id] = true;
        ++finishScanCount_;
        scanObjsArr_.push_back(id);
    }
    for (int id : scanObjsArr_) {
        CleanToolSources tools =
            options_.toolItems ? options_.toolItems(id) : CleanToolItems::ofCategory(id);
        list(id).beginScanTask([folders = options_.folders, id] { return folders(id); },
                               std::move(tools));
    }
    notify();
}

void SystemCleanModel::stop() {
    if (!canStop()) return;
    stopping_ = true;
    scanStopped_ = isCancelButton_;
    for (int id : scanObjsArr_) {
        if (busy_[id]) list(id).requestStop();
    }
    notify();
}

void SystemCleanModel::scanFinished(int category) {
    if (!isCancelButton_ || !busy_[category]) return;
    busy_[category] = false;
    scanned_[category] = true;
    restoreChecks(category);
    if (--finishScanCount_ == 0) scanAllFinished();
    notify();
}

void SystemCleanModel::restoreChecks(int category) {
    // The setting says all (1) or none (0); with some (2) the items still listed keep the check
    // they had and new items are not checked behind the user's back; the setting then says what
    // is left checked.
    ScanViewController& controller = list(category);
    std::int64_t setting = PreferenceViewController::categoryClicked(category);
    auto records = controller.scanFiles.get();
    bool all = !records.empty();
    for (auto& record : records) {
        record.bIsSelected =
            setting == 1 || (setting == 2 && checkedBefore_[category].count(record.path) > 0);
        all = all && record.bIsSelected;
    }
    controller.scanFiles.set(std::move(records));
    controller.selectAllOn = all;
    if (setting == 2) controller.getSelectAllOrNull();
}

void SystemCleanModel::scanAllFinished() {
    isCancelButton_ = false;
    stopping_ = false;
    scanObjsArr_.clear();
    EventBus::defaultCenter().post(Events::cleanShowSelectNumInBottom, std::string("clean"));
}

bool SystemCleanModel::canClean() const {
    if (isCancelButton_ || cleaning_) return false;
    if (isCategoryRow(selectRowNum_)) return hasChecked(list(selectRowNum_ - 1));
    return checkedCount() > 0;
}

void SystemCleanModel::clean() {
    if (!canClean()) return;
    retry_.reset();
    scanStopped_ = false;
    untried_ = 0;
    failures_.clear();
    cleanedSize_ = {};
    showCleanedSize_ = 0;
    isCleanFinshed_ = false;
    isShowCleanedSize_ = false;
    std::vector<int> categories;
    if (isCategoryRow(selectRowNum_)) {
        categories.push_back(selectRowNum_ - 1);
    } else {
        for (int id = 0; id < CleanCategoryId::Count; ++id) {
            if (hasChecked(list(id))) categories.push_back(id);
        }
    }
    std::vector<CleanQuestion::Category> asked;
    std::uint64_t total = 0;
    for (int id : categories) {
        asked.push_back({id, checkedBytesOf(list(id))});
        total += *asked.back().bytes;
    }
    switch (CleanQuestion::ask(*options_.asker, asked, total)) {
        case CleanQuestion::Answer::Clean:
            break;
        case CleanQuestion::Answer::CleanWithoutDownloads:
            list(CleanCategoryId::UserDownloads).setNoCheckBoxSelect();
            std::erase(categories, CleanCategoryId::UserDownloads);
            break;
        case CleanQuestion::Answer::Cancel:
            categories.clear();
            break;
    }
    if (categories.empty()) {
        isCleanFinshed_ = true;
        notify();
        return;
    }
    startClean(categories);
}

void SystemCleanModel::startClean(const std::vector<int>& categories) {
    cleaning_ = true;
    stopping_ = false;
    scanObjsArr_ = categories;
    finishScanCount_ = static_cast<int>(categories.size());
    for (int id : categories) {
        busy_[id] = true;
        checkedAtClean_[id] = checkedBytesOf(list(id));
    }
    setSubPage(ProgressPage);
    for (int id : categories) list(id).beginCleanTask();
    notify();
}

void SystemCleanModel::categoryCleaned(int category) {
    if (!cleaning_ || !busy_[category]) return;
    ScanViewController& controller = list(category);
    busy_[category] = false;
    controller.cleanAuthorization = nullptr;
    // Exact bytes from the list, never a difference of rounded size texts.
    cleanedSize_[category] += controller.iCleanSize;
    std::erase_if(failures_, [category](const CleanFailure& f) { return f.category == category; });
    failures_.insert(failures_.end(), controller.cleanFailures.begin(),
                     controller.cleanFailures.end());
    // What is still checked after a stopped clean either failed or was never tried.
    if (controller.cleanStopped) {
        untried_ += controller.selDelFiles.size() - controller.cleanFailures.size();
    }
    if (--finishScanCount_ == 0) cleanAllFinished();
    notify();
}

void SystemCleanModel::cleanAllFinished() {
    cleaning_ = false;
    stopping_ = false;
    scanObjsArr_.clear();
    std::stable_sort(failures_.begin(), failures_.end(),
                     [](const auto& a, const auto& b) { return a.category < b.category; });
    showCleanedSize_ = 0;
    for (auto bytes : cleanedSize_) showCleanedSize_ += bytes;
    isShowCleanedSize_ = true;
    isCleanFinshed_ = true;
    recordFinishedClean(showCleanedSize_);
    EventBus::defaultCenter().post(Events::cleanShowSelectNumInBottom, std::string("clean"));
    setSubPage(ResultsPage);
    // The alert waits until the lists' completions are over: a retry starts them again.
    if (!failures_.empty()) {
        owner_.queue().post([this] { reportFailures(); });
    }
}

void SystemCleanModel::reportFailures() {
    bool permission = std::any_of(failures_.begin(), failures_.end(),
                                  [](const CleanFailure& failure) { return failure.permission; });
    std::vector<int> categories(CleanCategoryId::Count);
    std::iota(categories.begin(), categories.end(), 0);
    auto run = QuickCleanFolders::of(categories, [this](int id) { return list(id).folders(); });
    retry_.offer(*options_.asker, permission ? kAdminAccessAlert : kItemsLeftAlert, failures_, run,
                 {.asking =
                      [this] {
                          // The page stays busy while the rights are asked for.
                          cleaning_ = true;
                          notify();
                      },
                  .granted =
                      [this](const std::vector<int>& categories) {
                          cleaning_ = false;
                          for (int id : categories)
                              list(id).cleanAuthorization = options_.authorization;
                          startClean(categories);
                      },
                  .refused =
                      [this] {
                          cleaning_ = false;
                          notify();
                      }});
}

void SystemCleanModel::back() {
    if (cleaning_) return;
    setSubPage(MainPage);
    notify();
}

int SystemCleanModel::categoryState(int category) const {
    auto state = static_cast<int>(PreferenceViewController::categoryClicked(category));
    return state == 2 && !hasChecked(list(category)) ? 0 : state;
}

bool SystemCleanModel::clickCategoryCheckBox(int category) {
    if (busy_[category]) return false;
    std::int64_t value = PreferenceViewController::categoryClicked(category) == 1 ? 0 : 1;
    PreferenceViewController::setCategoryClicked(category, value);
    EventBus::defaultCenter().post(Events::updateSelectNumber,
                                   UserInfo{{EventKeys::rowNum, category}});
    return true;
}

void SystemCleanModel::updateSelectNumber(const std::any& sender) {
    // The row check box's form names its category; the feature list's form (its six setting
    // texts) only asks for a new summary.
    if (const auto* info = std::any_cast<UserInfo>(&sender)) {
        auto found = info->find(EventKeys::rowNum);
        const int* category = found == info->end() ? nullptr : std::any_cast<int>(&found->second);
        if (category && isCleanCategoryId(*category) && !busy_[*category]) {
            if (PreferenceViewController::categoryClicked(*category) >= 1) {
                list(*category).setAllCheckBoxSelect();
            } else {
                list(*category).setNoCheckBoxSelect();
            }
        }
    }
    EventBus::defaultCenter().post(Events::cleanShowSelectNumInBottom);
}

void SystemCleanModel::changeCheckBox(int tag, bool flag) {
    int category = tag - 1;
    if (!isCleanCategoryId(category)) return;
    std::vector<std::string> texts;
    for (int id = 0; id < CleanCategoryId::Count; ++id) {
        texts.push_back(std::to_string(PreferenceViewController::categoryClicked(id)));
    }
    texts[category] = flag ? "0" : "1";
    if (!busy_[category]) {
        if (flag) {
            list(category).setNoCheckBoxSelect();
        } else {
            list(category).setAllCheckBoxSelect();
        }
    }
    EventBus::defaultCenter().post(Events::updateSelectNumber, texts);
}

bool SystemCleanModel::toggleItem(int category, int row) {
    if (busy_[category]) return false;
    list(category).setObjectValueForCheckBox(row);
    return true;
}

bool SystemCleanModel::setAllItems(int category, bool on) {
    if (busy_[category]) return false;
    list(category).cleanShowSelectNumInBottom(on);
    return true;
}

int SystemCleanModel::checkedCount() const {
    int count = 0;
    for (const auto& controller : tableControllers_) {
        for (const auto& record : controller->scanFiles.get()) count += record.bIsSelected;
    }
    return count;
}

int SystemCleanModel::listedCount() const {
    int count = 0;
    for (const auto& controller : tableControllers_) {
        count += static_cast<int>(controller->scanFiles.get().size());
    }
    return count;
}

std::uint64_t SystemCleanModel::checkedBytes() const {
    std::uint64_t bytes = 0;
    for (const auto& controller : tableControllers_) bytes += checkedBytesOf(*controller);
    return bytes;
}

std::string SystemCleanModel::summaryText() const {
    return std::to_string(checkedCount()) + " of " + std::to_string(listedCount()) + " selected, " +
           UtilityFunction::convertVolSpace(checkedBytes()) + " will free up.";
}

std::string SystemCleanModel::statusText() const {
    if (stopping_) return "Stopping...";
    if (isCancelButton_) return "Scanning...";
    if (cleaning_) return "Cleaning...";
    if (scanStopped_) return "Scan stopped.";
    if (!isShowCleanedSize_) return {};
    std::string text = UtilityFunction::convertVolSpace(showCleanedSize_) + " is cleaned";
    if (untried_ > 0) {
        text +=
            ". Stopped before " + std::to_string(untried_) + (untried_ == 1 ? " item." : " items.");
    }
    return text;
}

std::uint64_t SystemCleanModel::rowBytes(int row) const {
    if (row == 0) {
        std::uint64_t sum = 0;
        for (int category = 1; category <= CleanCategoryId::Count; ++category) {
            sum += rowBytes(category);
        }
        return sum;
    }
    if (!isCategoryRow(row)) return 0;
    int category = row - 1;
    // A running scan or clean has only its total's text; otherwise the listed exact bytes.
    if (busy_[category]) {
        return UtilityFunction::getVolSpaceFromString(list(category).filesSize.get());
    }
    std::uint64_t bytes = 0;
    for (const auto& record : list(category).scanFiles.get()) bytes += record.fileSizeNum;
    return bytes;
}

std::string SystemCleanModel::rowSizeText(int row) const {
    if (!isCategoryRow(row)) {
        bool any = std::any_of(scanned_.begin(), scanned_.end(), [](bool done) { return done; });
        return any || isCancelButton_ ? UtilityFunction::convertVolSpace(rowBytes(0))
                                      : "not scanned";
    }
    int category = row - 1;
    const ScanViewController& controller = list(category);
    if (busy_[category]) return controller.filesSize.get();
    if (!scanned_[category]) return "not scanned";
    // Nothing listed and nothing readable is no figure at all, not a zero.
    std::string note = controller.scanNote();
    if (controller.scanFiles.get().empty() && !controller.unreadable.empty()) return note;
    std::string text = UtilityFunction::convertVolSpace(rowBytes(row));
    return note.empty() ? text : text + ", " + note;
}

int SystemCleanModel::progressLevel(int category) const {
    if (busy_[category] && cleaning_) {
        // The share of the checked bytes gone so far; nothing checked is nothing left to do.
        std::uint64_t checked = checkedAtClean_[category];
        if (checked == 0) return 100;
        std::uint64_t done = std::min<std::uint64_t>(list(category).iCleanSize, checked);
        return static_cast<int>(done * 100 / checked);
    }
    if (busy_[category]) return 0;
    return scanned_[category] ? 100 : 0;
}

std::string SystemCleanModel::progressImageName(int category) const {
    return std::to_string(progressLevel(category)) + "_progress_bar.png";
}

void SystemCleanModel::setSubPage(SubPage page) {
    if (subPage_ == page) return;
    subPage_ = page;
    if (subPageChanged) subPageChanged(page);
}

void SystemCleanModel::notify() {
    if (changed) changed();
}

}  // namespace quillby
