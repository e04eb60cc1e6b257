// SPDX-License-Identifier: GPL-3.0-or-later
#include "clean/LogNames.h"

#include <algorithm>
#include <array>

namespace quillby {

namespace {

bool allDigits(std::string_view text) {
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::string_view withoutCompression(std::string_view name) {
    if (!LogNames::isCompressed(name)) return name;
    return name.substr(0, name.rfind('.'));
}

// "x.12": a rotation number after the last dot, with a name before it.
bool endsWithRotationNumber(std::string_view name) {
    std::size_t dot = name.rfind('.');
    return dot != std::string_view::npos && dot > 0 && allDigits(name.substr(dot + 1));
}

// "x-20240101" or "x-2024010112": logrotate's date ending.
bool endsWithDate(std::string_view name) {
    std::size_t dash = name.rfind('-');
    if (dash == std::string_view::npos || dash == 0) return false;
    std::string_view date = name.substr(dash + 1);
    return (date.size() == 8 || date.size() == 10) && allDigits(date);
}

}  // namespace

namespace LogNames {

bool isCompressed(std::string_view name) {
    static constexpr std::array<std::string_view, 5> endings{".gz", ".xz", ".bz2", ".zst", ".lz4"};
    return std::any_of(endings.begin(), endings.end(), [name](std::string_view ending) {
        return name.size() > ending.size() && name.ends_with(ending);
    });
}

bool isRotatedOrArchived(std::string_view name) {
    if (isCompressed(name)) return true;
    if (isArchivedJournal(name)) return true;
    std::string_view plain = withoutCompression(name);
    return (plain.size() > 4 && plain.ends_with(".old")) || endsWithRotationNumber(plain) ||
           endsWithDate(plain);
}

bool isArchivedJournal(std::string_view name) {
    return name.ends_with(".journal~") ||
           (name.ends_with(".journal") && name.find('@') != std::string_view::npos);
}

bool isLogFile(std::string_view name) {
    std::string_view plain = withoutCompression(name);
    if (plain.size() > 4 && plain.ends_with(".log")) return true;
    std::size_t dot = plain.rfind('.');
    if (dot == std::string_view::npos || !allDigits(plain.substr(dot + 1))) return false;
    std::string_view base = plain.substr(0, dot);
    return base.size() > 4 && base.ends_with(".log");
}

}  // namespace LogNames

}  // namespace quillby
