// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstddef>
#include <vector>

#include "core/events/Observable.h"
#include "core/fs/RemovalOutcome.h"
#include "diskusage/DiskUsageItem.h"
#include "diskusage/FileHighlights.h"

namespace quillby {

// The ring page's "Discover" view without widgets: the scanned folder's largest, newest and
// oldest files as items the page's rows show, select, open and remove like any other. The lists
// come made by the scan's worker; here they only change when items go. Main thread only.
class DiscoverModel {
  public:
    enum class List { Largest, Newest, Oldest };
    static constexpr std::size_t kLists = 3;

    // The lists of a finished scan, replacing any shown. Items are named by the file's own name
    // (the row's tip gives the path).
    void show(const FileHighlightLists& lists);
    void clear();
    const std::vector<DiskUsageItem>& rows(List list) const {
        return lists_[static_cast<std::size_t>(list)];
    }
    // "Largest files", "Newest files", "Oldest files".
    static const char* title(List list);
    // Items a removal took away leave every list, and so do files inside a folder that went.
    void removalFinished(const std::vector<RemovalOutcome>& results);
    // Called whenever the lists changed.
    Observable<int> changed{0};

  private:
    std::array<std::vector<DiskUsageItem>, kLists> lists_;
};

}  // namespace quillby
