#pragma once

#include <cstdint>
#include <string>
#include <variant>

// One stored setting: a boolean, an integer, a floating-point number or a text.
using SettingValue = std::variant<bool, std::int64_t, double, std::string>;
