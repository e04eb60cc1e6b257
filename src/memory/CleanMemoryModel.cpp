// SPDX-License-Identifier: GPL-3.0-or-later
#include "memory/CleanMemoryModel.h"

#include <cinttypes>

#include "core/events/Log.h"
#include "core/text/UtilityFunction.h"
#include "memory/ClearMemory.h"

namespace quillby {

CleanMemoryModel::CleanMemoryModel(std::unique_ptr<ClearMemory> runner)
    : runner_(std::move(runner)) {}

CleanMemoryModel::~CleanMemoryModel() = default;

bool CleanMemoryModel::updateTitleForLabelValue() {
    runner_->getMemoryInfo(&memoryInfo_);
    texts_ = cleanMemoryInfo::fromMemoryInfo(memoryInfo_);
    if (!isFreeing_ || runner_->isRuning()) return false;
    isFreeing_ = false;
    newUsedMemory_ = memoryInfo_[kMemFree];
    purgeFailure_ = runner_->purgeFailure();
    // Free memory rises and falls by itself: a purge that did not run freed nothing.
    bool dropped = purgeFailure_.empty();
    cleanFreeSave_ =
        dropped && newUsedMemory_ > oldUsedMemory_ ? newUsedMemory_ - oldUsedMemory_ : 0;
    QWLog("memory freed: %" PRIu64 " bytes%s%s", cleanFreeSave_, dropped ? "" : "; ",
          purgeFailure_.c_str());
    return true;
}

bool CleanMemoryModel::CleanButtonAction() {
    if (isFreeing_ || runner_->isRuning()) return false;
    oldUsedMemory_ = memoryInfo_[kMemFree];
    QWLog("begin clear memory");
    runner_->clearMemory();
    QWLog("end clear memory");
    isFreeing_ = true;
    return true;
}

std::string CleanMemoryModel::resultText() const {
    if (!purgeFailure_.empty()) return "The caches were not dropped: " + purgeFailure_ + ".";
    return UtilityFunction::covertCleanMemory(cleanFreeSave_) + " freed.";
}

}  // namespace quillby
