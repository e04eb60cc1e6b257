// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "diskusage/DiskUsageItem.h"

namespace quillby {

// The columns of the disk-usage item lists, how they sort and how the search field narrows
// them. Pure text logic: the pages only show what comes out.
enum class ListColumn { Name, Size, PercentOfParent, Items, Modified, Change };

struct ListSort {
    ListColumn column = ListColumn::Size;
    bool ascending = false;
    bool operator==(const ListSort&) const = default;
};

// The sort after a click on `column`'s header: the same column reverses; another starts A to Z
// for names and largest, most or newest first for the rest.
ListSort sortAfterClick(ListSort current, ListColumn column);

// True when `name` holds `filter` in any letter case (Latin, Greek and Cyrillic letters fold;
// other characters compare as they are). An empty filter matches every name.
bool nameMatches(std::string_view name, std::string_view filter);

// The items whose names match `filter`, in the order of `sort`. Size and percent sort by bytes,
// a change by the bytes gained (a new item's whole size); items without a count, a date or a
// change go last whichever the direction; equal keys keep name order.
std::vector<DiskUsageItem> arrangedItems(const std::vector<DiskUsageItem>& items, ListSort sort,
                                         std::string_view filter);

// The cells of an item's row in a folder of `folderBytes`: "42%", "<1%" for a small non-empty
// share, "" for an empty folder.
std::string percentText(std::uint64_t bytes, std::uint64_t folderBytes);
// "1,234" (the entries of a folder); "" when unknown.
std::string itemCountText(const std::optional<std::uint64_t>& count);
// "2026-12-08 14:05" in local time; "" when unknown.
std::string modifiedText(const std::optional<std::int64_t>& seconds);
// The change since the previous scan: "+2.10 GB", "-300.00 MB", "new"; "" when unknown.
std::string changeText(const DiskUsageItem& item);

// The header's text of a column ("Name", "Size", "%", "Items", "Modified", "Change"), with " ▲" or
// " ▼" on the column the list is sorted by.
std::string columnTitle(ListColumn column, ListSort sort);

}  // namespace quillby
