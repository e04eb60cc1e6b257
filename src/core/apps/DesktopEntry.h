// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quillby {

// Bounds that keep a hostile desktop-entry file from costing much: larger inputs are refused.
struct DesktopEntryLimits {
    std::size_t maximumSize = 1024 * 1024;
    std::size_t maximumLineLength = 64 * 1024;
};

struct DesktopEntryParse;

// A freedesktop.org desktop entry (the ".desktop" format): groups of keys, localised keys such as
// "Name[de]", value escapes and the quoting and field codes of "Exec". Pure text logic, no file
// access. Every line is kept as it was read, so an entry that is changed and written again keeps
// its comments, order and unknown keys, and an unchanged entry gives back the exact input text.
class DesktopEntry {
  public:
    static constexpr const char* mainGroup = "Desktop Entry";

    using Limits = DesktopEntryLimits;
    using Parsed = DesktopEntryParse;

    // Reads a desktop entry. Refused: text that is not UTF-8 or holds control characters, a key
    // before the first group, a line that is neither a group, a key, a comment nor blank, a
    // missing "Desktop Entry" group, and input beyond `limits`. A repeated key reads its last
    // value; a repeated group adds to the first.
    static Parsed parse(std::string_view text, const Limits& limits = Limits());

    // A new entry holding only an empty "Desktop Entry" group.
    static DesktopEntry empty();

    // The entry as text: the lines as read, with changed and added keys in place.
    std::string toText() const;

    std::vector<std::string> groupNames() const;
    bool hasGroup(std::string_view group) const;

    // The value as written in the file (escapes not undone), or nothing when the key is absent.
    std::optional<std::string> value(std::string_view group, std::string_view key) const;
    // The value with its escapes (\s \n \t \r \\) undone.
    std::optional<std::string> stringValue(std::string_view group, std::string_view key) const;
    // The value of the best "key[locale]" for a POSIX locale name such as "de_DE.UTF-8", falling
    // back to the plain key; escapes undone.
    std::optional<std::string> localeStringValue(std::string_view group, std::string_view key,
                                                 std::string_view locale) const;
    // "true" or "1" is true, "false" or "0" false; anything else reads as nothing.
    std::optional<bool> booleanValue(std::string_view group, std::string_view key) const;
    // A ";"-separated list ("\;" is a semicolon inside an item); escapes undone.
    std::optional<std::vector<std::string>> stringListValue(std::string_view group,
                                                            std::string_view key) const;

    // Sets a key to a value already in file form; the group is added at the end when missing.
    // False (and nothing changed) when the key or the value cannot be written as one line.
    bool setValue(std::string_view group, std::string_view key, std::string_view rawValue);
    // Sets a key to a text, escaping it.
    bool setStringValue(std::string_view group, std::string_view key, std::string_view text);
    bool setBooleanValue(std::string_view group, std::string_view key, bool value);
    // Removes every occurrence of the key; true when there was one.
    bool removeKey(std::string_view group, std::string_view key);

    // True when both entries hold the same groups, keys and values, whatever their comments,
    // blank lines, spacing and order.
    bool sameContent(const DesktopEntry& other) const;

    // Undoes the escapes of a string value; unknown escapes are kept as written.
    static std::string unescapeValue(std::string_view raw);
    // Escapes a text for a string value (backslash, newline, tab, carriage return, leading space).
    static std::string escapeValue(std::string_view text);

    // The locale names tried for a POSIX locale, best first: "sr_RS.UTF-8@latin" gives
    // sr_RS@latin, sr_RS, sr@latin, sr. "C", "POSIX" and "" give none.
    static std::vector<std::string> localeVariants(std::string_view locale);

    // Splits an "Exec" command line (its string escapes already undone) into arguments, undoing
    // double quotes (with \" \` \$ \\ inside), single quotes and backslashes. Field codes stay as
    // written. Nothing when a quote is left open.
    static std::optional<std::vector<std::string>> splitExec(std::string_view command);

    // What a launch without files gets for the field codes.
    struct ExecFields {
        std::string name;      // %c
        std::string icon;      // %i gives "--icon" and the icon when set
        std::string location;  // %k
    };
    // Expands the field codes of split arguments for a launch without files: %% is a percent
    // sign, the file and URL codes and the deprecated ones give nothing (an argument that was
    // only such a code is dropped), %c %k %i as in `fields`.
    static std::vector<std::string> expandExec(const std::vector<std::string>& arguments,
                                               const ExecFields& fields = ExecFields());

    // Drops a leading "env [OPTION]... [NAME=VALUE]..." from expanded arguments, so that the
    // program it starts comes first.
    static void dropEnvironmentPrefix(std::vector<std::string>& arguments);

    // One literal argument in "Exec" form: percent signs doubled, and double-quoted with escapes
    // when it is empty or holds a reserved character.
    static std::string quoteExecArgument(std::string_view literal);
    // A command line that runs exactly these literal arguments.
    static std::string joinExec(const std::vector<std::string>& literals);

  private:
    enum class LineKind { Blank, Comment, Group, Key };
    struct Line {
        LineKind kind;
        std::string raw;    // the line as written, without its newline
        std::string name;   // group name or key
        std::string value;  // key value in file form
    };

    // Indexes of the key lines of `group` whose key is `key`, in file order.
    std::vector<std::size_t> keyLines(std::string_view group, std::string_view key) const;
    std::size_t insertionPoint(std::string_view group);

    std::vector<Line> lines_;
    bool endsWithNewline_ = true;
};

// Either an entry, or the reason the text is not one (with its line number).
struct DesktopEntryParse {
    std::optional<DesktopEntry> entry;
    std::string error;
};

}  // namespace quillby
