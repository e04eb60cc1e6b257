// SPDX-License-Identifier: GPL-3.0-or-later
#include "diskusage/DiskUsageListColumns.h"

#include <algorithm>
#include <ctime>

#include "core/text/PlainText.h"
#include "diskusage/EarlierScan.h"

namespace quillby {

namespace {

// The code point `text` starts with and its length in bytes; malformed bytes stand for
// themselves, one at a time.
std::pair<char32_t, std::size_t> firstCharacter(std::string_view text) {
    std::size_t length = utf8SequenceLength(text);
    auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    if (length <= 1) return {byte(0), 1};
    char32_t code = byte(0) & (0xFF >> (length + 1));
    for (std::size_t i = 1; i < length; ++i) code = (code << 6) | (byte(i) & 0x3F);
    return {code, length};
}

char32_t folded(char32_t c) {
    if (c >= 'A' && c <= 'Z') return c + 0x20;
    if ((c >= 0xC0 && c <= 0xDE && c != 0xD7) || (c >= 0x391 && c <= 0x3AB && c != 0x3A2) ||
        (c >= 0x410 && c <= 0x42F)) {
        return c + 0x20;
    }
    if (c >= 0x400 && c <= 0x40F) return c + 0x50;
    return c;
}

std::u32string foldedText(std::string_view text) {
    std::u32string out;
    while (!text.empty()) {
        auto [code, length] = firstCharacter(text);
        out.push_back(folded(code));
        text.remove_prefix(length);
    }
    return out;
}

bool isDefaultAscending(ListColumn column) {
    return column == ListColumn::Name;
}

// -1, 0 or 1 as `a` goes before, with or after `b` by the column's key in ascending order;
// `missing` tells an item without the key, which goes last in either direction.
template <class Key>
int compareKeys(const std::optional<Key>& a, const std::optional<Key>& b, bool& missing) {
    missing = !a || !b;
    if (!a && !b) return 0;
    if (!a) return 1;
    if (!b) return -1;
    return *a < *b ? -1 : *b < *a ? 1 : 0;
}

}  // namespace

ListSort sortAfterClick(ListSort current, ListColumn column) {
    if (current.column == column) return {column, !current.ascending};
    return {column, isDefaultAscending(column)};
}

bool nameMatches(std::string_view name, std::string_view filter) {
    if (filter.empty()) return true;
    return foldedText(name).find(foldedText(filter)) != std::u32string::npos;
}

std::vector<DiskUsageItem> arrangedItems(const std::vector<DiskUsageItem>& items, ListSort sort,
                                         std::string_view filter) {
    std::vector<DiskUsageItem> shown;
    for (const auto& item : items) {
        if (nameMatches(item.name, filter)) shown.push_back(item);
    }
    auto before = [sort](const DiskUsageItem& a, const DiskUsageItem& b) {
        bool missing = false;
        int order = 0;
        switch (sort.column) {
            case ListColumn::Name:
                break;
            case ListColumn::Size:
            case ListColumn::PercentOfParent:
                order = a.fileSizeNum < b.fileSizeNum ? -1 : a.fileSizeNum > b.fileSizeNum;
                break;
            case ListColumn::Items:
                order = compareKeys(a.itemCount, b.itemCount, missing);
                break;
            case ListColumn::Modified:
                order = compareKeys(a.modified, b.modified, missing);
                break;
            case ListColumn::Change:
                order = compareKeys(a.change, b.change, missing);
                break;
        }
        if (order != 0) return (sort.ascending || missing) ? order < 0 : order > 0;
        int byName = foldedText(a.name).compare(foldedText(b.name));
        if (byName == 0) byName = a.name.compare(b.name);
        if (sort.column == ListColumn::Name && !sort.ascending) return byName > 0;
        return byName < 0;
    };
    std::stable_sort(shown.begin(), shown.end(), before);
    return shown;
}

std::string percentText(std::uint64_t bytes, std::uint64_t folderBytes) {
    if (folderBytes == 0) return {};
    long double share = static_cast<long double>(bytes) * 100.0L / folderBytes;
    if (bytes > 0 && share < 1.0L) return "<1%";
    return std::to_string(static_cast<int>(std::min(share + 0.5L, 100.0L))) + "%";
}

std::string itemCountText(const std::optional<std::uint64_t>& count) {
    if (!count) return {};
    std::string digits = std::to_string(*count);
    for (int at = static_cast<int>(digits.size()) - 3; at > 0; at -= 3) {
        digits.insert(static_cast<std::size_t>(at), ",");
    }
    return digits;
}

std::string modifiedText(const std::optional<std::int64_t>& seconds) {
    if (!seconds) return {};
    std::time_t when = static_cast<std::time_t>(*seconds);
    std::tm local{};
    char text[32];
    if (!localtime_r(&when, &local) ||
        std::strftime(text, sizeof text, "%Y-%m-%d %H:%M", &local) == 0)
        return {};
    return text;
}

std::string changeText(const DiskUsageItem& item) {
    if (item.isNew) return "new";
    return item.change ? EarlierScan::changeText(*item.change) : std::string();
}

std::string columnTitle(ListColumn column, ListSort sort) {
    std::string title;
    switch (column) {
        case ListColumn::Name:
            title = "Name";
            break;
        case ListColumn::Size:
            title = "Size";
            break;
        case ListColumn::PercentOfParent:
            title = "%";
            break;
        case ListColumn::Items:
            title = "Items";
            break;
        case ListColumn::Modified:
            title = "Modified";
            break;
        case ListColumn::Change:
            title = "Change";
            break;
    }
    if (sort.column == column) title += sort.ascending ? " \u25B2" : " \u25BC";
    return title;
}

}  // namespace quillby
