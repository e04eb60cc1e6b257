// SPDX-License-Identifier: GPL-3.0-or-later
#include "loginitems/LoginItemDropRules.h"

#include <charconv>

#include "core/events/Log.h"
#include "core/fs/FileURL.h"

namespace quillby {

std::optional<std::string> LoginItemDropRules::availableType(
    const std::vector<std::string>& offered) {
    auto isOffered = [&offered](std::string_view type) {
        for (const auto& candidate : offered) {
            if (candidate == type) return true;
        }
        return false;
    };
    std::optional<std::string> found;
    for (const char* type : {LoginItemDragType::privateRows, LoginItemDragType::fileNames,
                             LoginItemDragType::plainText, "text/plain"}) {
        if (isOffered(type)) {
            found = type;
            break;
        }
    }
    if (found == "text/plain") found = LoginItemDragType::plainText;
    QWLog("zStrAvailableType=%s", found ? found->c_str() : "(null)");
    return found;
}

std::vector<std::size_t> LoginItemDropRules::reorderedRows(std::size_t count,
                                                           const std::set<std::size_t>& dragged,
                                                           std::size_t dropRow) {
    std::vector<std::size_t> order;
    order.reserve(count);
    for (std::size_t row = 0; row < std::min(dropRow, count); ++row) {
        if (!dragged.count(row)) order.push_back(row);
    }
    for (std::size_t row : dragged) {
        if (row < count) order.push_back(row);
    }
    for (std::size_t row = dropRow; row < count; ++row) {
        if (!dragged.count(row)) order.push_back(row);
    }
    return order;
}

std::string LoginItemDropRules::encodeRows(const std::set<std::size_t>& rows) {
    std::string data;
    for (std::size_t row : rows) {
        if (!data.empty()) data += ',';
        data += std::to_string(row);
    }
    return data;
}

std::optional<std::set<std::size_t>> LoginItemDropRules::decodeRows(std::string_view data) {
    std::set<std::size_t> rows;
    while (!data.empty()) {
        std::size_t comma = data.find(',');
        std::string_view item = data.substr(0, comma);
        std::size_t row = 0;
        auto [end, error] = std::from_chars(item.data(), item.data() + item.size(), row);
        if (item.empty() || error != std::errc() || end != item.data() + item.size()) {
            return std::nullopt;
        }
        rows.insert(row);
        if (comma == std::string_view::npos) break;
        data.remove_prefix(comma + 1);
        if (data.empty()) return std::nullopt;
    }
    return rows;
}

std::vector<std::string> LoginItemDropRules::pathsFromURIList(std::string_view list) {
    std::vector<std::string> paths;
    while (!list.empty()) {
        std::size_t end = list.find('\n');
        std::string_view line = list.substr(0, end);
        list = end == std::string_view::npos ? std::string_view() : list.substr(end + 1);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (line.empty() || line.front() == '#') continue;
        if (auto path = pathFromFileURL(line)) paths.push_back(std::move(*path));
    }
    return paths;
}

std::string LoginItemDropRules::asciiText(std::string_view data) {
    for (char c : data) {
        if (static_cast<unsigned char>(c) > 0x7f) return "(null)";
    }
    return std::string(data);
}

}  // namespace quillby
