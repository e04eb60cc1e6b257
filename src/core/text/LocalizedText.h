// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>

namespace quillby {

// The program's user-visible texts by key ("LOCAL_STORAGE", "NO_HAVE_REMOVABLE", ...). English
// is the one table today; other languages would be further tables.
// The text for `key`, or the key itself when the table has none.
std::string localizedString(std::string_view key);
// True when the table has a text for `key`.
bool hasLocalizedString(std::string_view key);

}  // namespace quillby
