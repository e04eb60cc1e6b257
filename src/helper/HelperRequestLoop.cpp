// SPDX-License-Identifier: GPL-3.0-or-later
#include "helper/HelperRequestLoop.h"

#include <unistd.h>
#include <cerrno>
#include <string>

#include "core/fs/WriteAll.h"
#include "helper/HelperVerbs.h"

namespace quillby {

namespace {

constexpr std::size_t kMaxField = 1 << 20;

// Reads NUL-terminated fields from a descriptor through a buffer.
class FieldReader {
  public:
    explicit FieldReader(int fd) : fd_(fd) {}

    // The next field; false at the end of the input (a field cut short by it is dropped).
    // A field longer than kMaxField is read to its end and flagged.
    bool next(std::string& field, bool& tooLong) {
        field.clear();
        tooLong = false;
        for (;;) {
            if (position_ == end_ && !fill()) return false;
            char c = buffer_[position_++];
            if (c == '\0') return true;
            if (field.size() < kMaxField) {
                field.push_back(c);
            } else {
                tooLong = true;
            }
        }
    }

  private:
    bool fill() {
        for (;;) {
            ssize_t count = ::read(fd_, buffer_, sizeof buffer_);
            if (count < 0 && errno == EINTR) continue;
            if (count <= 0) return false;
            position_ = 0;
            end_ = static_cast<std::size_t>(count);
            return true;
        }
    }

    int fd_;
    char buffer_[65536];
    std::size_t position_ = 0;
    std::size_t end_ = 0;
};

// One line, whatever the answer holds: control characters (a line end in a file name) would
// otherwise split it.
std::string asOneLine(std::string answer) {
    for (char& c : answer) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) c = '?';
    }
    return answer + "\n";
}

}  // namespace

int serveHelperRequests(int input, int output) {
    FieldReader reader(input);
    std::string verb, argument;
    bool verbTooLong = false, argumentTooLong = false;
    while (reader.next(verb, verbTooLong) && reader.next(argument, argumentTooLong)) {
        std::string answer;
        const HelperVerb* handler = verbTooLong ? nullptr : findHelperVerb(verb);
        if (!handler) {
            answer = "error unknown request";
        } else if (argumentTooLong) {
            answer = "error the argument is too long";
        } else {
            answer = handler->handle(argument);
        }
        if (!writeAll(output, asOneLine(answer))) return 1;
    }
    return 0;
}

}  // namespace quillby
