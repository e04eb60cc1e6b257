// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace quillby {

// The kinds of data the login-items list accepts when something is dropped on it.
namespace LoginItemDragType {
// Rows dragged within the list itself.
inline constexpr const char* privateRows = "MyPrivateTableViewDataType";
// Files from a file manager.
inline constexpr const char* fileNames = "text/uri-list";
// Plain text.
inline constexpr const char* plainText = "text/plain;charset=utf-8";
}  // namespace LoginItemDragType

// What one drop carries, by its type.
struct LoginItemDrop {
    std::string type;
    std::set<std::size_t> rows;      // privateRows
    std::vector<std::string> paths;  // fileNames
    std::string text;                // plainText
};

// The rules of drops on the login-items list, as data the page applies.
class LoginItemDropRules {
  public:
    // The first accepted type the drag offers, in the order rows, files, text ("text/plain"
    // counts as text); nothing when it offers none, and the drop is refused. Logs
    // "zStrAvailableType=%@" with the type found.
    static std::optional<std::string> availableType(const std::vector<std::string>& offered);

    // The new order of `count` rows after `dragged` rows are dropped at `dropRow`: the rows
    // before the drop row that were not dragged, then the dragged rows in index order, then the
    // remaining rows. Each element is the old row shown at that position.
    static std::vector<std::size_t> reorderedRows(std::size_t count,
                                                  const std::set<std::size_t>& dragged,
                                                  std::size_t dropRow);

    // The dragged rows as the private drag data ("0,3,4"), and read back; nothing for data that
    // is not such a list.
    static std::string encodeRows(const std::set<std::size_t>& rows);
    static std::optional<std::set<std::size_t>> decodeRows(std::string_view data);

    // The local files of a "text/uri-list" (comments and other URLs left out).
    static std::vector<std::string> pathsFromURIList(std::string_view list);

    // The text of a plain-text drop as logged: its ASCII text, or "(null)" when it is not ASCII.
    static std::string asciiText(std::string_view data);
};

}  // namespace quillby
