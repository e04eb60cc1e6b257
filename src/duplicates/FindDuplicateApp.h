// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "duplicates/AppAttrbItem.h"

namespace quillby {

// Finds application bundles with the same content. Two bundles are duplicates when their items
// pair up one to one by size and checksums; names and places inside play no part. Progress,
// the current bundle and the stop flag may be used from any thread while a search runs.
class FindDuplicateApp {
  public:
    // Lists each bundle of `paths` and appends to `groups` every set of equal bundles: the
    // later ones in list order, then the one they were matched against. False when no bundle
    // could be listed.
    bool FindAppInArray(const std::vector<std::string>& paths,
                        std::vector<std::vector<AppAttrbItem>>& groups);
    // Whether two bundles have the same content (checksums are computed into the items). An
    // item whose checksum cannot be computed matches nothing.
    static bool CompareDir(AppAttrbItem& a, AppAttrbItem& b);
    // Lists every non-folder item below a bundle (links are items of their own, never
    // followed). False when some folder inside cannot be listed.
    static bool listBundle(const std::string& path, AppAttrbItem& bundle);

    std::uint32_t m_Progress() const { return progress_.load(std::memory_order_relaxed); }
    void setM_StopSearch(bool stop) { stop_.store(stop, std::memory_order_relaxed); }
    // The bundle being compared now, as a copy.
    std::string m_CurrentSearchFile() const;

  private:
    std::vector<AppAttrbItem> m_AllAppItem;
    std::atomic<std::uint32_t> progress_{0};
    std::atomic<bool> stop_{false};
    std::size_t m_AppCount = 0;
    mutable std::mutex currentMutex_;
    std::string currentSearchFile_;
};

}  // namespace quillby
