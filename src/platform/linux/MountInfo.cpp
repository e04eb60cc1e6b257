// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/linux/MountInfo.h"

#include <charconv>

namespace quillby {

namespace {

bool isOctal(char c) {
    return c >= '0' && c <= '7';
}

std::vector<std::string_view> splitFields(std::string_view line) {
    std::vector<std::string_view> fields;
    size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && line[i] == ' ') ++i;
        size_t start = i;
        while (i < line.size() && line[i] != ' ') ++i;
        if (i > start) fields.push_back(line.substr(start, i - start));
    }
    return fields;
}

template <class T>
bool parseNumber(std::string_view text, T& value) {
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size();
}

}  // namespace

std::string decodeMountField(std::string_view field) {
    std::string text;
    text.reserve(field.size());
    for (size_t i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size() && isOctal(field[i + 1]) &&
            isOctal(field[i + 2]) && isOctal(field[i + 3])) {
            int value = (field[i + 1] - '0') * 64 + (field[i + 2] - '0') * 8 + (field[i + 3] - '0');
            text.push_back(static_cast<char>(value));
            i += 3;
        } else {
            text.push_back(field[i]);
        }
    }
    return text;
}

std::vector<MountEntry> parseMountInfo(std::string_view text) {
    std::vector<MountEntry> entries;
    while (!text.empty()) {
        size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);

        auto fields = splitFields(line);
        // id parent major:minor root mount-point options [optional...] - type source super-options
        size_t separator = 6;
        while (separator < fields.size() && fields[separator] != "-") ++separator;
        if (fields.size() < 6 || separator + 2 >= fields.size()) continue;
        MountEntry entry;
        std::string_view device = fields[2];
        size_t colon = device.find(':');
        if (!parseNumber(fields[0], entry.mountId) || !parseNumber(fields[1], entry.parentId) ||
            colon == std::string_view::npos || !parseNumber(device.substr(0, colon), entry.major) ||
            !parseNumber(device.substr(colon + 1), entry.minor)) {
            continue;
        }
        entry.root = decodeMountField(fields[3]);
        entry.mountPoint = decodeMountField(fields[4]);
        entry.fileSystemType = decodeMountField(fields[separator + 1]);
        entry.source = decodeMountField(fields[separator + 2]);
        entries.push_back(std::move(entry));
    }
    return entries;
}

}  // namespace quillby
