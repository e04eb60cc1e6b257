// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/apps/DesktopEntry.h"

#include <algorithm>
#include <map>

#include "core/text/PlainText.h"

namespace quillby {

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view trimLeft(std::string_view text) {
    while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
    return text;
}

std::string_view trimRight(std::string_view text) {
    while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
    return text;
}

// Control characters other than tab make a line unreadable for every desktop.
bool hasControlCharacter(std::string_view text) {
    for (char c : text) {
        auto byte = static_cast<unsigned char>(c);
        if ((byte < 0x20 && c != '\t') || byte == 0x7f) return true;
    }
    return false;
}

// Printable ASCII without the characters that delimit keys, locales and values.
bool isNameCharacter(char c) {
    return c > 0x20 && c < 0x7f && c != '=' && c != '[' && c != ']';
}

bool isValidKey(std::string_view key) {
    size_t open = key.find('[');
    std::string_view base = key.substr(0, open);
    if (base.empty()) return false;
    for (char c : base) {
        if (!isNameCharacter(c)) return false;
    }
    if (open == std::string_view::npos) return true;
    std::string_view locale = key.substr(open + 1);
    if (locale.size() < 2 || locale.back() != ']') return false;
    locale.remove_suffix(1);
    for (char c : locale) {
        if (!isNameCharacter(c)) return false;
    }
    return true;
}

bool isValidGroupName(std::string_view name) {
    return !name.empty() && name.find_first_of("[]") == std::string_view::npos &&
           !hasControlCharacter(name) && isValidUtf8(name);
}

// A value in file form survives a write and a read only when it is one line of UTF-8 text that
// does not start with a blank (leading blanks are not part of a value).
bool isWritableValue(std::string_view raw) {
    return isValidUtf8(raw) && !hasControlCharacter(raw) && (raw.empty() || !isBlank(raw.front()));
}

bool isExecReserved(char c) {
    static constexpr std::string_view reserved = " \t\n\r\"'\\><~|&;$*?#()`";
    return reserved.find(c) != std::string_view::npos;
}

bool isFileOrDeprecatedCode(char code) {
    static constexpr std::string_view codes = "fFuUdDnNvm";
    return codes.find(code) != std::string_view::npos;
}

std::string lineNumberText(size_t number) {
    return "line " + std::to_string(number);
}

}  // namespace

DesktopEntry::Parsed DesktopEntry::parse(std::string_view text, const Limits& limits) {
    Parsed result;
    if (text.size() > limits.maximumSize) {
        result.error = "larger than " + std::to_string(limits.maximumSize) + " bytes";
        return result;
    }
    if (!isValidUtf8(text)) {
        result.error = "not UTF-8 text";
        return result;
    }

    DesktopEntry entry;
    entry.endsWithNewline_ = !text.empty() && text.back() == '\n';
    if (entry.endsWithNewline_) text.remove_suffix(1);
    bool inGroup = false;
    size_t number = 0;
    for (;;) {
        ++number;
        size_t end = text.find('\n');
        std::string_view raw = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        if (raw.size() > limits.maximumLineLength) {
            result.error = lineNumberText(number) + " is longer than " +
                           std::to_string(limits.maximumLineLength) + " bytes";
            return result;
        }
        std::string_view content = raw;
        if (!content.empty() && content.back() == '\r') content.remove_suffix(1);
        if (hasControlCharacter(content)) {
            result.error = lineNumberText(number) + " holds a control character";
            return result;
        }

        Line line{LineKind::Blank, std::string(raw), {}, {}};
        std::string_view body = trimLeft(content);
        if (body.empty()) {
            line.kind = LineKind::Blank;
        } else if (body.front() == '#') {
            line.kind = LineKind::Comment;
        } else if (body.front() == '[') {
            body = trimRight(body);
            if (body.size() < 2 || body.back() != ']' ||
                !isValidGroupName(body.substr(1, body.size() - 2))) {
                result.error = lineNumberText(number) + " is not a valid group header";
                return result;
            }
            line.kind = LineKind::Group;
            line.name = body.substr(1, body.size() - 2);
            inGroup = true;
        } else {
            size_t equals = body.find('=');
            if (equals == std::string_view::npos) {
                result.error = lineNumberText(number) + " is not a key, a group or a comment";
                return result;
            }
            if (!inGroup) {
                result.error = lineNumberText(number) + " holds a key before the first group";
                return result;
            }
            std::string_view key = trimRight(body.substr(0, equals));
            if (!isValidKey(key)) {
                result.error = lineNumberText(number) + " has an invalid key";
                return result;
            }
            line.kind = LineKind::Key;
            line.name = key;
            line.value = trimLeft(body.substr(equals + 1));
        }
        entry.lines_.push_back(std::move(line));
        if (end == std::string_view::npos) break;
    }
    if (!entry.hasGroup(mainGroup)) {
        result.error = "no [Desktop Entry] group";
        return result;
    }
    result.entry = std::move(entry);
    return result;
}

DesktopEntry DesktopEntry::empty() {
    DesktopEntry entry;
    entry.lines_.push_back({LineKind::Group, std::string("[") + mainGroup + "]", mainGroup, {}});
    return entry;
}

std::string DesktopEntry::toText() const {
    std::string text;
    for (size_t i = 0; i < lines_.size(); ++i) {
        if (i > 0) text += '\n';
        text += lines_[i].raw;
    }
    if (endsWithNewline_ && !lines_.empty()) text += '\n';
    return text;
}

std::vector<std::string> DesktopEntry::groupNames() const {
    std::vector<std::string> names;
    for (const auto& line : lines_) {
        if (line.kind != LineKind::Group) continue;
        bool seen = false;
        for (const auto& name : names) seen = seen || name == line.name;
        if (!seen) names.push_back(line.name);
    }
    return names;
}

bool DesktopEntry::hasGroup(std::string_view group) const {
    for (const auto& line : lines_) {
        if (line.kind == LineKind::Group && line.name == group) return true;
    }
    return false;
}

std::vector<size_t> DesktopEntry::keyLines(std::string_view group, std::string_view key) const {
    std::vector<size_t> found;
    bool inside = false;
    for (size_t i = 0; i < lines_.size(); ++i) {
        const Line& line = lines_[i];
        if (line.kind == LineKind::Group) inside = line.name == group;
        if (inside && line.kind == LineKind::Key && line.name == key) found.push_back(i);
    }
    return found;
}

std::optional<std::string> DesktopEntry::value(std::string_view group, std::string_view key) const {
    auto found = keyLines(group, key);
    if (found.empty()) return std::nullopt;
    return lines_[found.back()].value;
}

std::optional<std::string> DesktopEntry::stringValue(std::string_view group,
                                                     std::string_view key) const {
    auto raw = value(group, key);
    if (!raw) return std::nullopt;
    return unescapeValue(*raw);
}

std::optional<std::string> DesktopEntry::localeStringValue(std::string_view group,
                                                           std::string_view key,
                                                           std::string_view locale) const {
    for (const auto& variant : localeVariants(locale)) {
        auto localised = stringValue(group, std::string(key) + "[" + variant + "]");
        if (localised) return localised;
    }
    return stringValue(group, key);
}

std::optional<bool> DesktopEntry::booleanValue(std::string_view group, std::string_view key) const {
    auto raw = value(group, key);
    if (!raw) return std::nullopt;
    std::string_view text = trimRight(*raw);
    if (text == "true" || text == "1") return true;
    if (text == "false" || text == "0") return false;
    return std::nullopt;
}

std::optional<std::vector<std::string>> DesktopEntry::stringListValue(std::string_view group,
                                                                      std::string_view key) const {
    auto raw = value(group, key);
    if (!raw) return std::nullopt;
    std::vector<std::string> items;
    std::string item;
    for (size_t i = 0; i < raw->size(); ++i) {
        char c = (*raw)[i];
        if (c == '\\' && i + 1 < raw->size()) {
            char next = (*raw)[++i];
            if (next == ';') {
                item += ';';
            } else {
                item += '\\';
                item += next;
            }
        } else if (c == ';') {
            items.push_back(unescapeValue(item));
            item.clear();
        } else {
            item += c;
        }
    }
    if (!item.empty()) items.push_back(unescapeValue(item));
    return items;
}

size_t DesktopEntry::insertionPoint(std::string_view group) {
    size_t header = lines_.size();
    for (size_t i = lines_.size(); i-- > 0;) {
        if (lines_[i].kind == LineKind::Group && lines_[i].name == group) {
            header = i;
            break;
        }
    }
    if (header == lines_.size()) {
        if (!lines_.empty() && lines_.back().kind != LineKind::Blank) {
            lines_.push_back({LineKind::Blank, {}, {}, {}});
        }
        lines_.push_back({LineKind::Group, "[" + std::string(group) + "]", std::string(group), {}});
        endsWithNewline_ = true;
        return lines_.size();
    }
    size_t position = header + 1;
    for (size_t i = header + 1; i < lines_.size() && lines_[i].kind != LineKind::Group; ++i) {
        if (lines_[i].kind == LineKind::Key) position = i + 1;
    }
    return position;
}

bool DesktopEntry::setValue(std::string_view group, std::string_view key,
                            std::string_view rawValue) {
    if (!isValidGroupName(group) || !isValidKey(key) || !isWritableValue(rawValue)) return false;
    Line line{LineKind::Key, std::string(key) + "=" + std::string(rawValue), std::string(key),
              std::string(rawValue)};
    auto found = keyLines(group, key);
    if (!found.empty()) {
        lines_[found.back()] = std::move(line);
        return true;
    }
    size_t position = insertionPoint(group);
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(position), std::move(line));
    return true;
}

bool DesktopEntry::setStringValue(std::string_view group, std::string_view key,
                                  std::string_view text) {
    return setValue(group, key, escapeValue(text));
}

bool DesktopEntry::setBooleanValue(std::string_view group, std::string_view key, bool value) {
    return setValue(group, key, value ? "true" : "false");
}

bool DesktopEntry::removeKey(std::string_view group, std::string_view key) {
    auto found = keyLines(group, key);
    for (size_t i = found.size(); i-- > 0;) {
        lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(found[i]));
    }
    return !found.empty();
}

bool DesktopEntry::sameContent(const DesktopEntry& other) const {
    auto contentOf = [](const DesktopEntry& entry) {
        std::map<std::string, std::map<std::string, std::string>> content;
        std::string group;
        for (const auto& line : entry.lines_) {
            if (line.kind == LineKind::Group) {
                group = line.name;
                content[group];
            } else if (line.kind == LineKind::Key) {
                content[group][line.name] = std::string(trimRight(line.value));
            }
        }
        return content;
    };
    return contentOf(*this) == contentOf(other);
}

std::string DesktopEntry::unescapeValue(std::string_view raw) {
    std::string text;
    text.reserve(raw.size());
    for (size_t i = 0; i < raw.size(); ++i) {
        if (raw[i] != '\\' || i + 1 == raw.size()) {
            text += raw[i];
            continue;
        }
        char next = raw[++i];
        switch (next) {
            case 's':
                text += ' ';
                break;
            case 'n':
                text += '\n';
                break;
            case 't':
                text += '\t';
                break;
            case 'r':
                text += '\r';
                break;
            case '\\':
                text += '\\';
                break;
            default:
                text += '\\';
                text += next;
        }
    }
    return text;
}

std::string DesktopEntry::escapeValue(std::string_view text) {
    std::string raw;
    raw.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        switch (text[i]) {
            case '\\':
                raw += "\\\\";
                break;
            case '\n':
                raw += "\\n";
                break;
            case '\t':
                raw += "\\t";
                break;
            case '\r':
                raw += "\\r";
                break;
            case ' ':
                raw += i == 0 ? "\\s" : " ";
                break;
            default:
                raw += text[i];
        }
    }
    return raw;
}

std::vector<std::string> DesktopEntry::localeVariants(std::string_view locale) {
    std::string_view language = locale.substr(0, locale.find_first_of("_.@"));
    if (language.empty() || language == "C" || language == "POSIX") return {};
    std::string_view country, modifier;
    if (size_t at = locale.find('@'); at != std::string_view::npos) {
        modifier = locale.substr(at + 1);
    }
    if (size_t underscore = locale.find('_'); underscore != std::string_view::npos) {
        country = locale.substr(underscore + 1);
        country = country.substr(0, country.find_first_of(".@"));
    }
    std::string lang(language);
    std::vector<std::string> variants;
    if (!country.empty() && !modifier.empty()) {
        variants.push_back(lang + "_" + std::string(country) + "@" + std::string(modifier));
    }
    if (!country.empty()) variants.push_back(lang + "_" + std::string(country));
    if (!modifier.empty()) variants.push_back(lang + "@" + std::string(modifier));
    variants.push_back(lang);
    return variants;
}

std::optional<std::vector<std::string>> DesktopEntry::splitExec(std::string_view command) {
    std::vector<std::string> arguments;
    std::string current;
    bool inArgument = false;
    size_t i = 0;
    while (i < command.size()) {
        char c = command[i];
        if (c == ' ' || c == '\t' || c == '\n') {
            if (inArgument) arguments.push_back(std::move(current));
            current.clear();
            inArgument = false;
            ++i;
        } else if (c == '"') {
            inArgument = true;
            for (++i;; ++i) {
                if (i >= command.size()) return std::nullopt;
                char q = command[i];
                if (q == '"') break;
                if (q == '\\' && i + 1 < command.size() &&
                    std::string_view("\"`$\\").find(command[i + 1]) != std::string_view::npos) {
                    q = command[++i];
                }
                current += q;
            }
            ++i;
        } else if (c == '\'') {
            size_t close = command.find('\'', i + 1);
            if (close == std::string_view::npos) return std::nullopt;
            inArgument = true;
            current += command.substr(i + 1, close - i - 1);
            i = close + 1;
        } else if (c == '\\' && i + 1 < command.size()) {
            if (command[i + 1] != '\n') {
                current += command[i + 1];
                inArgument = true;
            }
            i += 2;
        } else {
            current += c;
            inArgument = true;
            ++i;
        }
    }
    if (inArgument) arguments.push_back(std::move(current));
    return arguments;
}

std::vector<std::string> DesktopEntry::expandExec(const std::vector<std::string>& arguments,
                                                  const ExecFields& fields) {
    std::vector<std::string> expanded;
    for (const auto& argument : arguments) {
        if (argument == "%i") {
            if (!fields.icon.empty()) {
                expanded.push_back("--icon");
                expanded.push_back(fields.icon);
            }
            continue;
        }
        std::string text;
        bool hadCode = false;
        for (size_t i = 0; i < argument.size(); ++i) {
            if (argument[i] != '%' || i + 1 == argument.size()) {
                text += argument[i];
                continue;
            }
            char code = argument[++i];
            hadCode = true;
            if (code == '%') {
                text += '%';
            } else if (code == 'c') {
                text += fields.name;
            } else if (code == 'k') {
                text += fields.location;
            } else if (isFileOrDeprecatedCode(code) || code == 'i') {
                // Nothing to give for a launch without files; %i only stands alone.
            }
            // Any other code is invalid and expands to nothing, as desktops do.
        }
        if (!text.empty() || !hadCode) expanded.push_back(std::move(text));
    }
    return expanded;
}

void DesktopEntry::dropEnvironmentPrefix(std::vector<std::string>& arguments) {
    if (arguments.empty()) return;
    std::string_view program = arguments[0];
    if (program.substr(program.rfind('/') + 1) != "env") return;
    std::size_t i = 1;
    while (i < arguments.size() && (arguments[i].find('=') != std::string::npos ||
                                    (arguments[i].size() > 1 && arguments[i][0] == '-'))) {
        const std::string& option = arguments[i];
        bool takesValue =
            option == "-u" || option == "--unset" || option == "-C" || option == "--chdir";
        i += takesValue ? 2 : 1;
    }
    arguments.erase(arguments.begin(),
                    arguments.begin() + static_cast<std::ptrdiff_t>(std::min(i, arguments.size())));
}

std::string DesktopEntry::quoteExecArgument(std::string_view literal) {
    std::string text;
    bool needsQuotes = literal.empty();
    for (char c : literal) {
        needsQuotes = needsQuotes || isExecReserved(c);
        text += c;
        if (c == '%') text += '%';
    }
    if (!needsQuotes) return text;
    std::string quoted = "\"";
    for (char c : text) {
        if (c == '"' || c == '`' || c == '$' || c == '\\') quoted += '\\';
        quoted += c;
    }
    return quoted + "\"";
}

std::string DesktopEntry::joinExec(const std::vector<std::string>& literals) {
    std::string command;
    for (const auto& literal : literals) {
        if (!command.empty()) command += ' ';
        command += quoteExecArgument(literal);
    }
    return command;
}

}  // namespace quillby
