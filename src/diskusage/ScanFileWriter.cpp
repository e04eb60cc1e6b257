// SPDX-License-Identifier: GPL-3.0-or-later
#include "diskusage/ScanFileWriter.h"

#include <cerrno>
#include <charconv>

#include "core/fs/WriteAll.h"

namespace quillby {

namespace {

constexpr size_t kBufferBytes = 1 << 18;

template <class Integer>
void appendNumber(std::string& out, Integer value) {
    char digits[24];
    auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    out.append(digits, end);
}

// A JSON string of the bytes as they are; only what JSON cannot hold raw is escaped.
void appendName(std::string& out, std::string_view name) {
    static constexpr char hex[] = "0123456789abcdef";
    out += '"';
    size_t plain = 0;
    for (size_t i = 0; i < name.size(); ++i) {
        auto c = static_cast<unsigned char>(name[i]);
        if (c >= 0x20 && c != '"' && c != '\\' && c != 0x7f) continue;
        out.append(name.data() + plain, i - plain);
        plain = i + 1;
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else {
            out += "\\u00";
            out += hex[c >> 4];
            out += hex[c & 15];
        }
    }
    out.append(name.data() + plain, name.size() - plain);
    out += '"';
}

}  // namespace

ScanFileWriter::ScanFileWriter(int fd) : fd_(fd) {
    buffer_.reserve(kBufferBytes + 4096);
}

void ScanFileWriter::begin(const ScanFileMetadata& metadata) {
    buffer_ += "[1,2,{\"progname\":";
    appendName(buffer_, metadata.program);
    buffer_ += ",\"progver\":";
    appendName(buffer_, metadata.version);
    if (metadata.timestamp) {
        buffer_ += ",\"timestamp\":";
        appendNumber(buffer_, *metadata.timestamp);
    }
    buffer_ += '}';
}

void ScanFileWriter::appendInfo(std::string& out, const ScanFileEntry& entry) {
    out += "{\"name\":";
    appendName(out, entry.name);
    if (entry.apparentBytes) {
        out += ",\"asize\":";
        appendNumber(out, entry.apparentBytes);
    }
    if (entry.diskBytes) {
        out += ",\"dsize\":";
        appendNumber(out, entry.diskBytes);
    }
    if (entry.device) {
        out += ",\"dev\":";
        appendNumber(out, *entry.device);
    }
    if (entry.links > 1) {
        out += ",\"ino\":";
        appendNumber(out, entry.inode);
        out += ",\"hlnkc\":true,\"nlink\":";
        appendNumber(out, entry.links);
    }
    if (entry.notRegular) out += ",\"notreg\":true";
    if (entry.readError) out += ",\"read_error\":true";
    if (!entry.excluded.empty()) {
        out += ",\"excluded\":";
        appendName(out, entry.excluded);
    }
    out += '}';
}

void ScanFileWriter::appendFile(std::string& out, const ScanFileEntry& file) {
    out += ",\n";
    appendInfo(out, file);
}

void ScanFileWriter::openFolder(const ScanFileEntry& folder) {
    buffer_ += ",\n[";
    appendInfo(buffer_, folder);
    flushIfFull();
}

void ScanFileWriter::addFile(const ScanFileEntry& file) {
    appendFile(buffer_, file);
    flushIfFull();
}

void ScanFileWriter::addWritten(std::string_view files) {
    if (buffer_.size() + files.size() > kBufferBytes) {
        flush();
        if (files.size() > kBufferBytes) {
            if (!error_ && !writeAll(fd_, files)) error_ = errno;
            return;
        }
    }
    buffer_ += files;
}

void ScanFileWriter::closeFolder() {
    buffer_ += ']';
    flushIfFull();
}

bool ScanFileWriter::finish() {
    buffer_ += "]\n";
    flush();
    if (error_) errno = error_;
    return error_ == 0;
}

void ScanFileWriter::flushIfFull() {
    if (buffer_.size() >= kBufferBytes) flush();
}

void ScanFileWriter::flush() {
    if (!error_ && !writeAll(fd_, buffer_)) error_ = errno;
    buffer_.clear();
}

}  // namespace quillby
