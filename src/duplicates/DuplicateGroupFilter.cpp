// SPDX-License-Identifier: GPL-3.0-or-later
#include "duplicates/DuplicateGroupFilter.h"

#include "core/text/PlainText.h"

namespace quillby {

namespace {

// The simple lower-case mapping of the scripts file names most often use here; the rest of
// Unicode is left alone rather than depend on the process's locale.
char32_t lowerCase(char32_t c) {
    if (c >= U'A' && c <= U'Z') return c + 0x20;
    if (c < 0xC0) return c;
    if ((c <= 0xDE && c != 0xD7)) return c + 0x20;  // Latin-1 capitals, × aside
    if (c >= 0x100 && c <= 0x137 && c % 2 == 0) return c + 1;
    if (c >= 0x139 && c <= 0x148 && c % 2 == 1) return c + 1;
    if (c >= 0x14A && c <= 0x177 && c % 2 == 0) return c + 1;
    if (c == 0x178) return 0xFF;
    if (c >= 0x179 && c <= 0x17E && c % 2 == 1) return c + 1;
    if (c >= 0x391 && c <= 0x3AB && c != 0x3A2) return c + 0x20;  // Greek
    if (c >= 0x400 && c <= 0x40F) return c + 0x50;                // Cyrillic Ѐ ... Џ
    if (c >= 0x410 && c <= 0x42F) return c + 0x20;                // Cyrillic А ... Я
    return c;
}

char32_t decode(std::string_view bytes, std::size_t length) {
    auto byte = [&](std::size_t i) {
        return static_cast<char32_t>(static_cast<unsigned char>(bytes[i]));
    };
    switch (length) {
        case 2:
            return ((byte(0) & 0x1F) << 6) | (byte(1) & 0x3F);
        case 3:
            return ((byte(0) & 0x0F) << 12) | ((byte(1) & 0x3F) << 6) | (byte(2) & 0x3F);
        default:
            return ((byte(0) & 0x07) << 18) | ((byte(1) & 0x3F) << 12) | ((byte(2) & 0x3F) << 6) |
                   (byte(3) & 0x3F);
    }
}

void encode(char32_t c, std::string& out) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

}  // namespace

DuplicateGroupFilter::DuplicateGroupFilter(std::string_view text)
    : text_(text), folded_(foldedCase(text)) {}

std::string DuplicateGroupFilter::foldedCase(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t at = 0; at < text.size();) {
        const auto first = static_cast<unsigned char>(text[at]);
        if (first < 0x80) {
            out += static_cast<char>(first >= 'A' && first <= 'Z' ? first + 0x20 : first);
            ++at;
            continue;
        }
        std::size_t length = utf8SequenceLength(text.substr(at));
        if (length == 0) {
            out += text[at++];  // not UTF-8: compared as it is
            continue;
        }
        encode(lowerCase(decode(text.substr(at), length)), out);
        at += length;
    }
    return out;
}

bool DuplicateGroupFilter::matches(const TreeNode& group) const {
    if (empty()) return true;
    auto holds = [&](const std::string& name) {
        return foldedCase(name).find(folded_) != std::string::npos;
    };
    if (group.nodeData() && holds(group.nodeData()->name)) return true;
    for (const auto& member : group.nodeChildren()) {
        if (member->nodeData() && holds(member->nodeData()->name)) return true;
    }
    return false;
}

}  // namespace quillby
