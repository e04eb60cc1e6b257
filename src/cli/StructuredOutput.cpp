// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/StructuredOutput.h"

#include <cstdio>
#include <nlohmann/json.hpp>

#include "core/text/PlainText.h"

namespace quillby {

namespace {

void appendEscape(std::string& out, const char* format, unsigned value) {
    char escape[8];
    std::snprintf(escape, sizeof escape, format, value);
    out += escape;
}

template <class Json>
void appendJson(std::string& out, const Json& value, int indent) {
    const std::string inner(static_cast<size_t>(indent + 2), ' ');
    const std::string outer(static_cast<size_t>(indent), ' ');
    switch (value.type()) {
        case nlohmann::json::value_t::object: {
            if (value.empty()) {
                out += "{}";
                return;
            }
            out += "{\n";
            bool first = true;
            for (auto it = value.begin(); it != value.end(); ++it) {
                if (!first) out += ",\n";
                first = false;
                out += inner;
                appendJsonString(out, it.key());
                out += ": ";
                appendJson(out, it.value(), indent + 2);
            }
            out += "\n" + outer + "}";
            return;
        }
        case nlohmann::json::value_t::array: {
            if (value.empty()) {
                out += "[]";
                return;
            }
            out += "[\n";
            bool first = true;
            for (const auto& element : value) {
                if (!first) out += ",\n";
                first = false;
                out += inner;
                appendJson(out, element, indent + 2);
            }
            out += "\n" + outer + "]";
            return;
        }
        case nlohmann::json::value_t::string:
            appendJsonString(out, value.template get_ref<const std::string&>());
            return;
        default:
            out += value.dump();  // numbers, booleans and null as the library writes them
    }
}

}  // namespace

void appendJsonString(std::string& out, std::string_view text) {
    out += '"';
    while (!text.empty()) {
        std::size_t length = utf8SequenceLength(text);
        if (length == 0) {
            appendEscape(out, "\\udc%02x", static_cast<unsigned char>(text.front()));
            text.remove_prefix(1);
            continue;
        }
        auto c = static_cast<unsigned char>(text.front());
        switch (c) {
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            case '\b':
                out += "\\b";
                break;
            case '\f':
                out += "\\f";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\t':
                out += "\\t";
                break;
            default:
                if (c < 0x20) {
                    appendEscape(out, "\\u%04x", c);
                } else {
                    out.append(text.substr(0, length));
                }
        }
        text.remove_prefix(length);
    }
    out += '"';
}

std::string jsonText(const nlohmann::json& value) {
    std::string out;
    appendJson(out, value, 0);
    return out;
}

std::string jsonText(const nlohmann::ordered_json& value) {
    std::string out;
    appendJson(out, value, 0);
    return out;
}

std::string csvField(std::string_view text) {
    if (text.find_first_of(",\"\n\r") == std::string_view::npos) return std::string(text);
    std::string quoted = "\"";
    for (char c : text) {
        if (c == '"') quoted += '"';
        quoted += c;
    }
    return quoted + "\"";
}

}  // namespace quillby
