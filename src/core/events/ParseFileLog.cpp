// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/events/ParseFileLog.h"

#include <unistd.h>
#include <cerrno>
#include <cinttypes>
#include <cstdlib>
#include <cstring>

#include "core/events/Log.h"
#include "core/fs/AtomicFile.h"
#include "core/fs/OwnFile.h"
#include "core/fs/UserHome.h"
#include "core/text/PlainText.h"
#include "platform/Services.h"

namespace quillby {

namespace fs = std::filesystem;

namespace {
constexpr const char* kRecordFileName = ".orvane.log.bin";
// The record is one line of under 100 bytes: a larger file than this is no record, and is not
// read into memory.
constexpr std::size_t kRecordLimit = 64 * 1024;
}  // namespace

ParseFileLog::ParseFileLog()
    : folder_(Services::context().appDataFolder()),
      owner_(Services::context().uid),
      refusal_(UserHome(Services::context().home, owner_).refusal()) {}

ParseFileLog::ParseFileLog(fs::path folder) : folder_(std::move(folder)), owner_(::geteuid()) {}

fs::path ParseFileLog::getLogFilePath() const {
    return folder_ / kRecordFileName;
}

std::string ParseFileLog::parseLogToString(const FileLog& log) {
    std::string date = log.date ? dateDescription(*log.date) : "(null)";
    return "logName=" + log.logName + "&&date=" + date + "&&iSize=" + std::to_string(log.iSize);
}

void ParseFileLog::parseStringToLog(std::string_view text, FileLog& log) {
    for (const auto& piece : splitText(text, "&&")) {
        auto parts = splitText(piece, "=");
        if (parts.size() != 2) continue;
        const std::string& key = parts[0];
        const std::string& value = parts[1];
        if (key == "logName") {
            log.logName = value;
        } else if (key == "date") {
            log.date = parseDateDescription(value);
        } else if (key == "iSize") {
            // A recovered size cannot be negative; a negative number reads as nothing recovered.
            long long number = std::strtoll(value.c_str(), nullptr, 10);
            log.iSize = number > 0 ? static_cast<std::uint64_t>(number) : 0;
        }
    }
}

void ParseFileLog::readFileLog(const std::string& /*name*/, FileLog& log) const {
    fs::path path = getLogFilePath();
    std::string why;
    std::optional<std::string> text = readOwnFile(path, owner_, kRecordLimit, why);
    if (!text && errno == ENOENT) {
        log.iSize = 0;
        log.date = std::chrono::system_clock::now();
        log.logName = "FILE SIZE";
        return;
    }
    if (!text) {
        QWLog("Cannot read the history record %s: %s", path.c_str(), why.c_str());
        return;
    }
    if (!isValidUtf8(*text)) return;
    parseStringToLog(*text, log);
}

bool ParseFileLog::writeFileLog(const std::string& /*name*/, const std::string& /*fileName*/,
                                const FileLog& log) const {
    fs::path path = getLogFilePath();
    if (!refusal_.empty()) {
        QWLog("Cannot write %s: %s", path.c_str(), refusal_.c_str());
        return false;
    }
    if (!writeFileAtomically(path, parseLogToString(log))) {
        QWLog("Cannot write %s: %s", path.c_str(), std::strerror(errno));
        return false;
    }
    return true;
}

std::uint64_t ParseFileLog::getSize(std::optional<FileLog::Date>* date) const {
    QWLog("Get Size Log begin");
    FileLog log;
    readFileLog("", log);
    if (date) {
        *date = log.date;
        QWLog("get Date:%s", log.date ? dateDescription(*log.date).c_str() : "(null)");
    }
    QWLog("Get Size Log End SIZE:%" PRIu64, log.iSize);
    return log.iSize;
}

bool ParseFileLog::setSize(std::uint64_t size, FileLog::Date date) const {
    QWLog("Set Size Log begin SIZE:%" PRIu64 " date:%s", size, dateDescription(date).c_str());
    FileLog log;
    log.logName = "SIZE";
    log.iSize = size;
    log.date = date;
    bool ok = writeFileLog("", "", log);
    QWLog("Set Size Log End");
    return ok;
}

}  // namespace quillby
