// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <nlohmann/json_fwd.hpp>
#include <string>
#include <string_view>

namespace quillby {

// Output for other programs, written so that every file name printed leads back to its file.

// Appends `text` as a JSON string. Bytes that are not part of well-formed UTF-8 come out as the
// surrogate escape \udcXX (the convention os.fsencode reads back), never as U+FFFD.
void appendJsonString(std::string& out, std::string_view text);

// The value as JSON indented by two spaces, its strings and keys written by appendJsonString.
std::string jsonText(const nlohmann::json& value);
std::string jsonText(const nlohmann::ordered_json& value);

// One CSV field by RFC 4180: quoted, with its quotes doubled, when it holds a comma, a quote or
// a line break. Its bytes pass unchanged, so a name that is not UTF-8 stays the name it is.
std::string csvField(std::string_view text);

}  // namespace quillby
