// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/SizeArgument.h"

#include <string>

namespace quillby {

namespace {
char lowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}
}  // namespace

std::optional<std::uint64_t> parseSizeArgument(std::string_view text) {
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
    size_t digits = 0;
    while (digits < text.size() && text[digits] >= '0' && text[digits] <= '9') ++digits;
    if (digits == 0) return std::nullopt;
    std::string_view whole = text.substr(0, digits);
    std::string_view fraction;
    std::string_view rest = text.substr(digits);
    if (!rest.empty() && rest.front() == '.') {
        size_t end = 1;
        while (end < rest.size() && rest[end] >= '0' && rest[end] <= '9') ++end;
        fraction = rest.substr(1, end - 1);
        if (fraction.empty()) return std::nullopt;
        rest = rest.substr(end);
    }
    while (!rest.empty() && rest.front() == ' ') rest.remove_prefix(1);
    std::string unit;
    for (char c : rest) unit += lowerAscii(c);
    std::uint64_t multiplier;
    if (unit.empty() || unit == "b") {
        if (!fraction.empty()) return std::nullopt;  // no fractions of a byte
        multiplier = 1;
    } else if (unit == "kb") {
        multiplier = 1000ULL;
    } else if (unit == "mb") {
        multiplier = 1000000ULL;
    } else if (unit == "gb") {
        multiplier = 1000000000ULL;
    } else if (unit == "tb") {
        multiplier = 1000000000000ULL;
    } else {
        return std::nullopt;
    }
    std::uint64_t value = 0;
    for (char c : whole) {
        std::uint64_t digit = static_cast<std::uint64_t>(c - '0');
        if (value > (UINT64_MAX - digit) / 10) return std::nullopt;
        value = value * 10 + digit;
    }
    if (value > UINT64_MAX / multiplier) return std::nullopt;
    value *= multiplier;
    // The fraction's digits, each worth a tenth of the one before; what falls below a byte is
    // dropped.
    std::uint64_t step = multiplier;
    for (char c : fraction) {
        step /= 10;
        if (step == 0) break;
        std::uint64_t add = static_cast<std::uint64_t>(c - '0') * step;
        if (value > UINT64_MAX - add) return std::nullopt;
        value += add;
    }
    return value;
}

}  // namespace quillby
