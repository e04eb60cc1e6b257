// SPDX-License-Identifier: GPL-3.0-or-later
// libFuzzer target for the desktop-entry reader and writer. Besides crashes and sanitizer
// reports it checks the properties the login items rely on, and aborts when one fails:
// an accepted text is written back unchanged, a changed entry reads back as changed, and
// any argument list survives Exec quoting and splitting.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "core/apps/DesktopEntry.h"

using namespace quillby;

namespace {

void require(bool condition) {
    if (!condition) std::abort();
}

std::vector<std::string> splitAt(std::string_view text, char separator) {
    std::vector<std::string> pieces;
    while (true) {
        size_t end = text.find(separator);
        pieces.emplace_back(text.substr(0, end));
        if (end == std::string_view::npos) return pieces;
        text.remove_prefix(end + 1);
    }
}

void checkEntry(const DesktopEntry& entry, std::string_view text) {
    const char* group = DesktopEntry::mainGroup;
    require(entry.toText() == text);
    require(entry.sameContent(entry));
    for (const auto& name : entry.groupNames()) {
        for (const char* key : {"Name", "Exec", "Hidden", "Icon", "Categories", "Type"}) {
            (void)entry.value(name, key);
            (void)entry.localeStringValue(name, key, "sr_RS.UTF-8@latin");
            (void)entry.booleanValue(name, key);
            (void)entry.stringListValue(name, key);
        }
    }
    if (auto command = entry.stringValue(group, "Exec")) {
        if (auto arguments = DesktopEntry::splitExec(*command)) {
            auto expanded = DesktopEntry::expandExec(*arguments, {"name", "icon", "/x.desktop"});
            auto again = DesktopEntry::splitExec(DesktopEntry::joinExec(expanded));
            require(again && DesktopEntry::expandExec(*again) == expanded);
        }
    }

    DesktopEntry changed = entry;
    if (changed.setBooleanValue(group, "Hidden", true)) {
        auto reread = DesktopEntry::parse(changed.toText());
        require(reread.entry && reread.entry->booleanValue(group, "Hidden") == true);
        require(reread.entry->removeKey(group, "Hidden"));
        require(!reread.entry->value(group, "Hidden"));
    }
}

// The quoting rules of the format, checked independently of the splitter: outside double quotes
// no reserved character but the separating space; inside them, the four characters that need a
// backslash always have one.
bool followsQuotingRules(std::string_view command) {
    static constexpr std::string_view reserved = "\t\n\r\"'\\><~|&;$*?#()`";
    bool quoted = false;
    for (size_t i = 0; i < command.size(); ++i) {
        char c = command[i];
        if (!quoted) {
            if (c == '"') {
                quoted = true;
            } else if (reserved.find(c) != std::string_view::npos) {
                return false;
            }
        } else if (c == '"') {
            quoted = false;
        } else if (c == '\\') {
            if (i + 1 == command.size()) return false;
            char next = command[++i];
            if (next != '"' && next != '`' && next != '$' && next != '\\') return false;
        } else if (c == '`' || c == '$') {
            return false;
        }
    }
    return !quoted;
}

// Arguments taken from the input survive quoting, the string escapes of a desktop file, and
// splitting, whenever the file can hold them at all.
void checkExecRoundTrip(std::string_view text) {
    const char* group = DesktopEntry::mainGroup;
    std::vector<std::string> literals = splitAt(text, '\x01');
    std::string command = DesktopEntry::joinExec(literals);
    require(followsQuotingRules(command));
    auto split = DesktopEntry::splitExec(command);
    require(split && DesktopEntry::expandExec(*split) == literals);

    DesktopEntry entry = DesktopEntry::empty();
    if (!entry.setStringValue(group, "Exec", command)) return;
    auto reread = DesktopEntry::parse(entry.toText());
    require(reread.entry.has_value());
    auto stored = reread.entry->stringValue(group, "Exec");
    require(stored && *stored == command);
    require(DesktopEntry::unescapeValue(DesktopEntry::escapeValue(text)) == text);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);

    auto parsed = DesktopEntry::parse(text);
    if (parsed.entry) checkEntry(*parsed.entry, text);

    // Small limits reach the refusals of long lines and large files with short inputs; what
    // they accept the default limits accept as well.
    DesktopEntry::Limits small{512, 40};
    auto bounded = DesktopEntry::parse(text, small);
    require(!bounded.entry || parsed.entry);

    checkExecRoundTrip(text);
    return 0;
}
