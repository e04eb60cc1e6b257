// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/text/UtilityFunction.h"

#include <any>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "core/events/EventBus.h"
#include "core/events/Events.h"
#include "core/events/Log.h"
#include "core/text/PlainText.h"
#include "platform/Services.h"
#include "platform/SystemVersionSource.h"

namespace quillby {

namespace {

std::string sizeText(float number, const char* unit) {
    char text[64];
    std::snprintf(text, sizeof text, "%0.2f %s", static_cast<double>(number), unit);
    return text;
}

// A float product as a byte count: truncated, never negative, saturated at the top.
std::uint64_t floatToBytes(float value) {
    if (!(value > 0.0f)) return 0;
    if (value >= 18446744073709551616.0f) return UINT64_MAX;
    return static_cast<std::uint64_t>(value);
}

std::vector<std::string> splitAtBlanks(std::string_view text) {
    std::vector<std::string> pieces;
    for (auto& piece : splitText(text, " ")) {
        if (!piece.empty()) pieces.push_back(std::move(piece));
    }
    return pieces;
}

}  // namespace

std::string UtilityFunction::convertVolSpace(std::uint64_t bytes) {
    if (bytes == 0) return "0.00 KB";
    float value = static_cast<float>(bytes);
    if (bytes <= 999999) return sizeText(value / 1000.0f, "KB");
    if (bytes <= 999999999) return sizeText(value / 1000000.0f, "MB");
    return sizeText(value / 1000000000.0f, "GB");
}

std::string UtilityFunction::covertCleanMemory(std::uint64_t bytes) {
    if (bytes == 0) return "0.00 KB";
    float value = static_cast<float>(bytes);
    if (bytes <= 1048575) return sizeText(value * (1.0f / 1024.0f), "KB");
    if (bytes <= 1073741823) return sizeText(value * (1.0f / 1048576.0f), "MB");
    return sizeText(value * (1.0f / 1073741824.0f), "GB");
}

std::string UtilityFunction::formatValue(std::uint64_t value, std::uint32_t base) {
    if (value == 0) return "0.00 KB";
    // 32-bit steps on purpose: the memory texts are defined by them, wrapping included, so a
    // base whose square passes 2^32 gives the same texts on every machine.
    std::uint32_t square = base * base;
    std::uint32_t cube = square * base;
    auto step = [&](std::uint64_t divisor, const char* unit) {
        // A base whose powers wrap to 0 cannot divide; report 0 rather than fault.
        std::uint64_t quotient = divisor == 0 ? 0 : value / divisor;
        return sizeText(static_cast<float>(quotient), unit);
    };
    if (value < square) return step(base, "KB");
    if (value < cube) return step(square, "MB");
    return step(cube, "GB");
}

std::uint64_t UtilityFunction::getVolSpaceFromString(std::string_view text) {
    std::string_view ending = text.size() >= 2 ? text.substr(text.size() - 2) : text;
    std::string number(text.substr(0, text.size() >= 2 ? text.size() - 2 : 0));
    float value = std::strtof(number.c_str(), nullptr);
    if (!std::isfinite(value)) return 0;
    if (ending == "KB") return floatToBytes(value > 0.0f ? value * 1000.0f : value);
    if (ending == "MB") return floatToBytes(value * 1000000.0f);
    if (ending == "GB") return floatToBytes(value * 1000000000.0f);
    if (ending == "TB") return floatToBytes(value * 1000000000000.0f);
    return 0;
}

void UtilityFunction::getSystemVersionMajor(unsigned* major, unsigned* minor, unsigned* bugFix) {
    unsigned ma = 10, mi = 0, bf = 0;
    auto source = Services::get<SystemVersionSource>();
    unsigned readMajor = 0, readMinor = 0, readBugFix = 0;
    if (source && source->systemVersion(readMajor, readMinor, readBugFix)) {
        ma = readMajor;
        mi = readMinor;
        bf = readBugFix;
    } else {
        QWLog("Unable to obtain system version: %ld", source ? -1L : -2L);
    }
    if (major) *major = ma;
    if (minor) *minor = mi;
    if (bugFix) *bugFix = bf;
}

bool UtilityFunction::isBelowSystemVer(unsigned major, unsigned minor, unsigned bugfix) {
    unsigned ma = 0, mi = 0, bf = 0;
    getSystemVersionMajor(&ma, &mi, &bf);
    QWLog("%u.%u.%u", ma, mi, bf);
    if (ma < major) return true;
    if (ma > major) return false;
    return mi < minor || (mi == minor && bf < bugfix);
}

void UtilityFunction::callSelectNotificationForMainWindowLeft(std::int32_t row) {
    std::vector<std::any> request{std::vector<std::any>{}, row};
    EventBus::defaultCenter().post(Events::shouldSelectRow, request);
}

std::string UtilityFunction::parseDateTime(std::string_view dateTime) {
    auto pieces = splitAtBlanks(dateTime);
    std::string date = pieces.size() > 0 ? pieces[0] : "";
    std::string time = pieces.size() > 1 ? pieces[1] : "";
    auto parts = splitText(date, "-");
    auto part = [&](size_t i) { return i < parts.size() ? parts[i] : std::string(); };
    return part(1) + "/" + part(2) + "/" + part(0) + " " + time;
}

}  // namespace quillby
