// SPDX-License-Identifier: GPL-3.0-or-later
#include "diskusage/ScanFileReader.h"

#include <cerrno>
#include <charconv>
#include <cstring>
#include <vector>

namespace quillby {

namespace {

constexpr std::size_t kBufferBytes = 1 << 16;
constexpr std::size_t kKeyBytes = 32;        // longer keys are no key the reader knows
constexpr std::size_t kMetadataBytes = 256;  // program names and versions are cut here
constexpr std::size_t kNumberBytes = 40;
constexpr std::uint64_t kMaxVersion = 10000;

bool isSpace(int c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

bool isNumberCharacter(int c) {
    return (c >= '0' && c <= '9') || c == '-' || c == '+' || c == '.' || c == 'e' || c == 'E';
}

int hexValue(int c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// A folder's or a file's name below the scanned folder: one path component.
bool isComponent(std::string_view name) {
    return !name.empty() && name != "." && name != ".." &&
           name.find_first_of(std::string_view("/\0", 2)) == std::string_view::npos;
}

}  // namespace

class ScanFileReader::Parser {
  public:
    Parser(ByteSource& source, const ScanFileLimits& limits, ScanFileSink& sink)
        : source_(source), limits_(limits), sink_(sink), buffer_(kBufferBytes) {}

    Result run() {
        if (parseFile()) return {};
        Result result;
        result.outcome = outcome_;
        result.message = message_;
        result.readError = readError_;
        return result;
    }

  private:
    // An info object's fields.
    struct Info {
        std::string name;
        bool named = false;
        std::string excluded;
        ScanFileEntry entry;
        void reset() {
            named = false;
            name.clear();
            excluded.clear();
            entry = {};
        }
        const ScanFileEntry& finished() {
            entry.name = name;
            entry.excluded = excluded;
            return entry;
        }
    };
    enum class TooLong { Refuse, Cut };

    // ---- bytes

    bool refill() {
        if (atEnd_ || outcome_ != Outcome::Read) return false;
        consumed_ += end_;
        position_ = end_ = 0;
        long got = source_.read(buffer_.data(), buffer_.size());
        if (got < 0) {
            readError_ = errno;
            outcome_ = Outcome::ReadFailed;
            message_ = std::string("cannot read: ") + std::strerror(readError_);
            return false;
        }
        if (got == 0) {
            atEnd_ = true;
            return false;
        }
        end_ = static_cast<std::size_t>(got);
        return true;
    }
    int peek() {
        if (position_ == end_ && !refill()) return -1;
        return static_cast<unsigned char>(buffer_[position_]);
    }
    int get() {
        int c = peek();
        if (c >= 0) ++position_;
        return c;
    }
    // The next character that is not white space, not taken.
    int token() {
        while (true) {
            int c = peek();
            if (!isSpace(c)) return c;
            ++position_;
        }
    }
    std::uint64_t offset() const { return consumed_ + position_; }

    bool fail(const std::string& why) {
        if (outcome_ != Outcome::Read) return false;  // the first reason stands
        outcome_ = Outcome::NotScanFile;
        if (atEnd_ && position_ == end_) {
            message_ = "the file ends early (after " + std::to_string(offset()) + " bytes)";
        } else {
            message_ = why + " at byte " + std::to_string(offset());
        }
        return false;
    }
    bool expect(char wanted, const char* what) {
        if (token() != wanted) return fail(std::string("expected ") + what);
        ++position_;
        return true;
    }
    bool sinkRefused() {
        if (sink_.stopped) {
            outcome_ = Outcome::Stopped;
            return false;
        }
        return fail(sink_.refusal.empty() ? "refused" : sink_.refusal);
    }

    // ---- values

    // Appends one byte of a string being read; `out` null skips the string.
    bool keep(std::string* out, std::size_t limit, TooLong tooLong, char c) {
        if (!out) return true;
        if (out->size() < limit) {
            out->push_back(c);
            return true;
        }
        if (tooLong == TooLong::Cut) return true;
        return fail("a name longer than " + std::to_string(limit) + " bytes");
    }
    bool keepCodePoint(std::string* out, std::size_t limit, TooLong tooLong, std::uint32_t point) {
        char bytes[4];
        int count = 0;
        if (point < 0x80) {
            bytes[count++] = static_cast<char>(point);
        } else if (point < 0x800) {
            bytes[count++] = static_cast<char>(0xC0 | (point >> 6));
            bytes[count++] = static_cast<char>(0x80 | (point & 0x3F));
        } else if (point < 0x10000) {
            bytes[count++] = static_cast<char>(0xE0 | (point >> 12));
            bytes[count++] = static_cast<char>(0x80 | ((point >> 6) & 0x3F));
            bytes[count++] = static_cast<char>(0x80 | (point & 0x3F));
        } else {
            bytes[count++] = static_cast<char>(0xF0 | (point >> 18));
            bytes[count++] = static_cast<char>(0x80 | ((point >> 12) & 0x3F));
            bytes[count++] = static_cast<char>(0x80 | ((point >> 6) & 0x3F));
            bytes[count++] = static_cast<char>(0x80 | (point & 0x3F));
        }
        for (int i = 0; i < count; ++i) {
            if (!keep(out, limit, tooLong, bytes[i])) return false;
        }
        return true;
    }
    bool readHex4(std::uint32_t& value) {
        value = 0;
        for (int i = 0; i < 4; ++i) {
            int digit = hexValue(get());
            if (digit < 0) return fail("a bad \\u escape");
            value = value << 4 | static_cast<std::uint32_t>(digit);
        }
        return true;
    }
    // After "\u": one character, a surrogate pair as one, a lone \udcXX (the escape for a
    // byte that is not UTF-8) as that byte, any other lone surrogate as U+FFFD.
    bool readUnicodeEscape(std::string* out, std::size_t limit, TooLong tooLong) {
        std::uint32_t unit = 0;
        if (!readHex4(unit)) return false;
        while (unit >= 0xD800 && unit <= 0xDBFF) {
            if (peek() != '\\') return keepCodePoint(out, limit, tooLong, 0xFFFD);
            ++position_;
            if (get() != 'u') return fail("a bad escape after a high surrogate");
            std::uint32_t low = 0;
            if (!readHex4(low)) return false;
            if (low >= 0xDC00 && low <= 0xDFFF) {
                return keepCodePoint(out, limit, tooLong,
                                     0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00));
            }
            if (!keepCodePoint(out, limit, tooLong, 0xFFFD)) return false;
            unit = low;
        }
        if (unit >= 0xDC80 && unit <= 0xDCFF) {
            return keep(out, limit, tooLong, static_cast<char>(unit & 0xFF));
        }
        if (unit >= 0xDC00 && unit <= 0xDFFF) unit = 0xFFFD;
        return keepCodePoint(out, limit, tooLong, unit);
    }
    // A string at the current position into `out` (cleared first), or skipped when `out` is
    // null; its bytes stream through, so a string of any length costs no memory when skipped.
    bool readString(std::string* out, std::size_t limit, TooLong tooLong) {
        if (out) out->clear();
        if (token() != '"') return fail("expected a string");
        ++position_;
        while (true) {
            if (position_ == end_ && !refill()) return fail("an unfinished string");
            // The plain run up to the next quote, backslash or control character.
            std::size_t start = position_;
            while (position_ < end_) {
                auto c = static_cast<unsigned char>(buffer_[position_]);
                if (c == '"' || c == '\\' || c < 0x20) break;
                ++position_;
            }
            if (out && position_ > start) {
                std::size_t run = position_ - start;
                if (out->size() + run > limit) {
                    if (tooLong == TooLong::Refuse) {
                        return fail("a name longer than " + std::to_string(limit) + " bytes");
                    }
                    run = limit - out->size();
                }
                out->append(buffer_.data() + start, run);
            }
            if (position_ == end_) continue;
            int c = get();
            if (c == '"') return true;
            if (c != '\\') return fail("a control character in a string");
            int escaped = get();
            bool kept = true;
            switch (escaped) {
                case '"':
                    kept = keep(out, limit, tooLong, '"');
                    break;
                case '\\':
                    kept = keep(out, limit, tooLong, '\\');
                    break;
                case '/':
                    kept = keep(out, limit, tooLong, '/');
                    break;
                case 'b':
                    kept = keep(out, limit, tooLong, '\b');
                    break;
                case 'f':
                    kept = keep(out, limit, tooLong, '\f');
                    break;
                case 'n':
                    kept = keep(out, limit, tooLong, '\n');
                    break;
                case 'r':
                    kept = keep(out, limit, tooLong, '\r');
                    break;
                case 't':
                    kept = keep(out, limit, tooLong, '\t');
                    break;
                case 'u':
                    kept = readUnicodeEscape(out, limit, tooLong);
                    break;
                default:
                    return fail("a bad escape in a string");
            }
            if (!kept) return false;
        }
    }
    // The characters of a number at the current position, cut at kNumberBytes.
    bool readNumberText(std::string& text) {
        text.clear();
        if (!isNumberCharacter(token())) return fail("expected a number");
        while (isNumberCharacter(peek())) {
            if (text.size() == kNumberBytes) return fail("a number too long");
            text.push_back(static_cast<char>(get()));
        }
        return true;
    }
    bool readUnsigned(std::uint64_t& value, const char* what) {
        std::string text;
        if (!readNumberText(text)) return false;
        auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
        if (error != std::errc() || end != text.data() + text.size()) {
            return fail(std::string(what) + " is not a whole number of at most 20 digits");
        }
        return true;
    }
    bool readLiteral(const char* word) {
        for (const char* c = word; *c; ++c) {
            if (get() != *c) return fail("a misspelt literal");
        }
        return true;
    }
    bool readBoolean(bool& value) {
        int c = token();
        if (c == 't') return readLiteral("true") && (value = true, true);
        if (c == 'f') return readLiteral("false") && (value = false, true);
        if (c == 'n') return readLiteral("null") && (value = false, true);
        return fail("expected true or false");
    }
    // Any value, nested ones on a bounded stack of their own.
    bool skipValue() {
        std::vector<char> closers;
        do {
            int c = token();
            switch (c) {
                case '"':
                    if (!readString(nullptr, 0, TooLong::Cut)) return false;
                    break;
                case 't':
                    if (!readLiteral("true")) return false;
                    break;
                case 'f':
                    if (!readLiteral("false")) return false;
                    break;
                case 'n':
                    if (!readLiteral("null")) return false;
                    break;
                case '[':
                case '{':
                    if (closers.size() == limits_.unknownDepth)
                        return fail("values nested too deep");
                    closers.push_back(c == '[' ? ']' : '}');
                    ++position_;
                    break;
                case ']':
                case '}':
                    if (closers.empty() || closers.back() != c) return fail("a misplaced bracket");
                    closers.pop_back();
                    ++position_;
                    break;
                case ',':
                case ':':
                    if (closers.empty()) return fail("expected a value");
                    ++position_;
                    break;
                default:
                    if (!isNumberCharacter(c)) return fail("expected a value");
                    while (isNumberCharacter(peek())) ++position_;
            }
        } while (!closers.empty());
        return true;
    }

    // ---- the format

    // The members of an object at the current position, each handed to `member` after its key
    // (which reads the value); false from it stops.
    template <class Member>
    bool readObject(const char* what, Member member) {
        if (!expect('{', what)) return false;
        if (token() == '}') {
            ++position_;
            return true;
        }
        std::string key;
        while (true) {
            if (!readString(&key, kKeyBytes + 1, TooLong::Cut)) return false;
            if (!expect(':', "a colon")) return false;
            if (!member(key)) return false;
            int c = token();
            if (c != '}' && c != ',') return fail("expected , or } in an object");
            ++position_;
            if (c == '}') return true;
        }
    }

    bool readMetadata(ScanFileMetadata& metadata) {
        return readObject("the metadata object", [&](const std::string& key) {
            if (key == "progname" && token() == '"') {
                return readString(&metadata.program, kMetadataBytes, TooLong::Cut);
            }
            if (key == "progver" && token() == '"') {
                return readString(&metadata.version, kMetadataBytes, TooLong::Cut);
            }
            if (key == "timestamp" && isNumberCharacter(token())) {
                std::string text;
                if (!readNumberText(text)) return false;
                std::int64_t value = 0;
                auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
                if (error == std::errc() && end == text.data() + text.size()) {
                    metadata.timestamp = value;
                }
                return true;
            }
            return skipValue();
        });
    }

    bool readInfo(Info& info) {
        info.reset();
        ScanFileEntry& entry = info.entry;
        bool read = readObject("an item's info object", [&](const std::string& key) {
            if (key == "name") {
                info.named = true;
                return readString(&info.name, limits_.nameBytes, TooLong::Refuse);
            }
            if (key == "asize") return readUnsigned(entry.apparentBytes, "asize");
            if (key == "dsize") return readUnsigned(entry.diskBytes, "dsize");
            if (key == "ino") return readUnsigned(entry.inode, "ino");
            if (key == "nlink") return readUnsigned(entry.links, "nlink");
            if (key == "dev") {
                std::uint64_t device = 0;
                if (!readUnsigned(device, "dev")) return false;
                entry.device = device;
                return true;
            }
            if (key == "notreg") return readBoolean(entry.notRegular);
            if (key == "read_error") return readBoolean(entry.readError);
            if (key == "excluded" && token() == '"') {
                return readString(&info.excluded, kKeyBytes, TooLong::Cut);
            }
            return skipValue();
        });
        if (!read) return false;
        if (!info.named) return fail("an item without a name");
        return true;
    }

    bool parseFile() {
        if (!expect('[', "a scan file: an array")) return false;
        ScanFileMetadata metadata;
        if (!readUnsigned(metadata.majorVersion, "the major version")) return false;
        if (metadata.majorVersion != 1) {
            return fail("major version " + std::to_string(metadata.majorVersion) +
                        " (only 1 is known)");
        }
        if (!expect(',', "a comma")) return false;
        if (!readUnsigned(metadata.minorVersion, "the minor version")) return false;
        if (metadata.minorVersion > kMaxVersion) return fail("a minor version above 10000");
        if (!expect(',', "a comma")) return false;
        if (!readMetadata(metadata)) return false;
        sink_.header(metadata);
        if (!expect(',', "a comma")) return false;
        if (!expect('[', "the scanned folder's array")) return false;

        Info info;
        if (!readInfo(info)) return false;
        if (info.name.empty() || info.name.find('\0') != std::string::npos) {
            return fail("a bad name for the scanned folder");
        }
        if (!sink_.enterFolder(info.finished())) return sinkRefused();
        std::size_t depth = 1;
        while (depth > 0) {
            int c = token();
            if (c == ']') {
                ++position_;
                --depth;
                if (!sink_.leaveFolder()) return sinkRefused();
                continue;
            }
            if (c != ',') return fail("expected , or ] in a folder");
            ++position_;
            c = token();
            bool folder = c == '[';
            if (folder) {
                if (depth == limits_.folderDepth) {
                    return fail("folders nested deeper than " + std::to_string(depth));
                }
                ++position_;
            } else if (c != '{') {
                return fail("expected a folder or a file");
            }
            if (!readInfo(info)) return false;
            if (!isComponent(info.name))
                return fail("a bad name (empty, \".\", \"..\", or with / or NUL)");
            const ScanFileEntry& entry = info.finished();
            if (folder) {
                if (!sink_.enterFolder(entry)) return sinkRefused();
                ++depth;
            } else if (info.excluded == "otherfs" || info.excluded == "kernfs") {
                // A folder the scanner did not enter: on another file system, or a kernel one.
                if (!sink_.enterFolder(entry) || !sink_.leaveFolder()) return sinkRefused();
            } else if (!sink_.addFile(entry)) {
                return sinkRefused();
            }
        }
        if (!expect(']', "the end of the file's array")) return false;
        if (token() >= 0) return fail("more after the end of the file's array");
        return outcome_ == Outcome::Read;
    }

    ByteSource& source_;
    const ScanFileLimits& limits_;
    ScanFileSink& sink_;
    std::vector<char> buffer_;
    std::size_t position_ = 0;
    std::size_t end_ = 0;
    std::uint64_t consumed_ = 0;
    bool atEnd_ = false;
    Outcome outcome_ = Outcome::Read;
    std::string message_;
    int readError_ = 0;
};

ScanFileReader::ScanFileReader(ByteSource& source, ScanFileLimits limits)
    : source_(source), limits_(limits) {}

ScanFileReader::~ScanFileReader() = default;

ScanFileReader::Result ScanFileReader::read(ScanFileSink& sink) {
    return Parser(source_, limits_, sink).run();
}

}  // namespace quillby
