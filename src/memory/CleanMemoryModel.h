// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "memory/MemoryFigures.h"
#include "memory/cleanMemoryInfo.h"

namespace quillby {

class ClearMemory;

// What the memory page shows and does, refreshed every second: the six figures, and the purge
// with the amount it freed (the rise in free memory, never below 0) or why it did not run.
class CleanMemoryModel {
  public:
    explicit CleanMemoryModel(std::unique_ptr<ClearMemory> runner);
    ~CleanMemoryModel();

    // Samples memory and formats the figures; notices a purge that ended and computes what it
    // freed. True when a purge ended in this refresh (the result line is then shown).
    bool updateTitleForLabelValue();
    // The purge button: starts a purge unless one runs; false when nothing was started. The
    // caller refreshes next, which notices a purge that ended at once.
    bool CleanButtonAction();

    const MemoryFigures& memoryInfo() const { return memoryInfo_; }
    const cleanMemoryInfo& texts() const { return texts_; }
    bool isFreeing() const { return isFreeing_; }
    std::uint64_t cleanFreeSave() const { return cleanFreeSave_; }
    // "%@ freed." with the last purge's amount in power-of-two units, or why the caches were not
    // dropped.
    std::string resultText() const;

  private:
    std::unique_ptr<ClearMemory> runner_;
    MemoryFigures memoryInfo_{};
    cleanMemoryInfo texts_;
    bool isFreeing_ = false;
    std::uint64_t oldUsedMemory_ = 0;  // free memory before the purge
    std::uint64_t newUsedMemory_ = 0;  // free memory after it
    std::uint64_t cleanFreeSave_ = 0;
    std::string purgeFailure_;
};

}  // namespace quillby
