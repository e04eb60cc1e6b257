// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/fs/FileURL.h"

namespace quillby {

namespace {

bool isUnreserved(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
           c == '.' || c == '_' || c == '~' || c == '/';
}

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

bool startsWithNoCase(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size()) return false;
    for (size_t i = 0; i < prefix.size(); ++i) {
        char c = text[i];
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        if (c != prefix[i]) return false;
    }
    return true;
}

}  // namespace

std::string fileURLFromPath(std::string_view path) {
    static constexpr char digits[] = "0123456789ABCDEF";
    std::string url = "file://";
    for (char c : path) {
        if (isUnreserved(c)) {
            url += c;
        } else {
            auto byte = static_cast<unsigned char>(c);
            url += '%';
            url += digits[byte >> 4];
            url += digits[byte & 0x0f];
        }
    }
    return url;
}

std::optional<std::string> pathFromFileURL(std::string_view url) {
    if (!startsWithNoCase(url, "file:")) return std::nullopt;
    std::string_view rest = url.substr(5);
    if (rest.substr(0, 2) == "//") {
        rest.remove_prefix(2);
        size_t slash = rest.find('/');
        if (slash == std::string_view::npos) return std::nullopt;
        std::string_view host = rest.substr(0, slash);
        bool local = host.empty() || (host.size() == 9 && startsWithNoCase(host, "localhost"));
        if (!local) return std::nullopt;
        rest.remove_prefix(slash);
    }
    if (rest.empty() || rest.front() != '/') return std::nullopt;
    // Decoding comes after the host is split off, so an encoded "localhost" inside the path or
    // a "%2F" cannot move the boundary.
    std::string path;
    path.reserve(rest.size());
    for (size_t i = 0; i < rest.size(); ++i) {
        int high = -1, low = -1;
        if (rest[i] == '%' && i + 2 < rest.size()) {
            high = hexValue(rest[i + 1]);
            low = hexValue(rest[i + 2]);
        }
        if (high >= 0 && low >= 0) {
            char decoded = static_cast<char>(high * 16 + low);
            if (decoded == '\0') return std::nullopt;
            path += decoded;
            i += 2;
        } else {
            path += rest[i];
        }
    }
    return path;
}

}  // namespace quillby
