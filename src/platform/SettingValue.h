// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>
#include <variant>

namespace quillby {

// One stored setting: a boolean, an integer, a floating-point number or a text.
using SettingValue = std::variant<bool, std::int64_t, double, std::string>;

}  // namespace quillby
