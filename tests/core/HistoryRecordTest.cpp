// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>
#include <chrono>
#include <filesystem>
#include <functional>

#include "core/events/FileLog.h"
#include "core/events/ParseFileLog.h"
#include "platform/Services.h"
#include "support/ChildProcess.h"
#include "support/TempDir.h"
#include "support/TestPlatform.h"

using namespace quillby;

namespace fs = std::filesystem;
using namespace std::chrono;

namespace {
FileLog::Date may6() {
    return *parseDateDescription("2013-05-06 02:20:30 +0000");
}

bool nearNow(const std::optional<FileLog::Date>& date) {
    return date && abs(duration_cast<seconds>(system_clock::now() - *date).count()) < 60;
}
}  // namespace

TEST(HistoryRecord, RoundTripsThroughTheFile) {
    TempDir dir;
    ParseFileLog records(dir / "data/com.quillby.pro");
    ASSERT_TRUE(records.setSize(1048576, may6()));
    EXPECT_EQ(TempDir::read(records.getLogFilePath()),
              "logName=SIZE&&date=2013-05-06 02:20:30 +0000&&iSize=1048576");
    std::optional<FileLog::Date> date;
    EXPECT_EQ(records.getSize(&date), 1048576u);
    EXPECT_EQ(date, may6());
    FileLog log;
    records.readFileLog("", log);
    EXPECT_EQ(log.logName, "SIZE");
}

TEST(HistoryRecord, MissingFileReadsAsNothingRecoveredNowAndCreatesNothing) {
    TempDir dir;
    fs::path folder = dir / "a/b/com.quillby.pro";
    ParseFileLog records(folder);
    FileLog log;
    log.iSize = 99;
    records.readFileLog("", log);
    EXPECT_FALSE(fs::exists(dir / "a"));
    EXPECT_EQ(log.iSize, 0u);
    EXPECT_EQ(log.logName, "FILE SIZE");
    EXPECT_TRUE(nearNow(log.date));
}

TEST(HistoryRecord, PiecesParseInAnyOrderAndBadOnesKeepTheirField) {
    FileLog inOrder, reversed;
    ParseFileLog::parseStringToLog("logName=SIZE&&date=2013-05-06 02:20:30 +0000&&iSize=42",
                                   inOrder);
    ParseFileLog::parseStringToLog("iSize=42&&date=2013-05-06 02:20:30 +0000&&logName=SIZE",
                                   reversed);
    EXPECT_EQ(inOrder.iSize, reversed.iSize);
    EXPECT_EQ(inOrder.date, reversed.date);
    EXPECT_EQ(inOrder.logName, reversed.logName);

    FileLog partial;
    ParseFileLog::parseStringToLog("iSize=42", partial);
    EXPECT_EQ(partial.iSize, 42u);
    EXPECT_EQ(partial.logName, "");
    EXPECT_TRUE(nearNow(partial.date));

    FileLog odd;
    ParseFileLog::parseStringToLog("iSize=12abc&&logName=a=b&&junk&&other=1&&date=yesterday", odd);
    EXPECT_EQ(odd.iSize, 12u);
    EXPECT_EQ(odd.logName, "");          // a value holding "=" is lost
    EXPECT_FALSE(odd.date.has_value());  // an unreadable date gives no date

    FileLog signs;
    ParseFileLog::parseStringToLog("iSize=  +7", signs);
    EXPECT_EQ(signs.iSize, 7u);
    ParseFileLog::parseStringToLog("iSize=-5", signs);
    EXPECT_EQ(signs.iSize, 0u);  // never a wrapped-around huge size
    ParseFileLog::parseStringToLog("iSize=x", signs);
    EXPECT_EQ(signs.iSize, 0u);
}

TEST(HistoryRecord, DatesWithAnOffsetAreReadInUtc) {
    auto east = parseDateDescription("2013-05-06 04:20:30 +0200");
    ASSERT_TRUE(east);
    EXPECT_EQ(*east, may6());
    EXPECT_EQ(dateDescription(*east), "2013-05-06 02:20:30 +0000");
    EXPECT_FALSE(parseDateDescription("2013-05-06 02:20:30"));
    EXPECT_FALSE(parseDateDescription("2013-13-06 02:20:30 +0000"));
    EXPECT_FALSE(parseDateDescription("2013-05-06 02:20:30 +0000 trailing"));
}

TEST(HistoryRecord, FailedWriteKeepsThePreviousRecord) {
    TempDir dir;
    ParseFileLog records(dir.path());
    ASSERT_TRUE(records.setSize(10, may6()));
    // A disk that fills up mid-write: the write fails and the old record stays whole.
    EXPECT_EQ(inChildWithFileSizeLimit(8, [&] { return !records.setSize(20, may6()); }), 0);
    EXPECT_EQ(records.getSize(), 10u);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
}

// Whatever stands in the record's place is neither waited on nor read without end: a FIFO, a
// device behind a link, a link to a file elsewhere, a file far larger than any record. A record
// that is not UTF-8 leaves the record as it was too.
TEST(HistoryRecord, OnlyTheUsersOwnSmallPlainUtf8FileIsRead) {
    TempDir dir;
    fs::path record = dir / ".orvane.log.bin";
    fs::path elsewhere = dir.write("elsewhere", "iSize=5");
    std::vector<std::pair<const char*, std::function<void()>>> cases{
        {"fifo", [&] { ASSERT_EQ(::mkfifo(record.c_str(), 0600), 0); }},
        {"link to /dev/zero", [&] { fs::create_symlink("/dev/zero", record); }},
        {"link to a record elsewhere", [&] { fs::create_symlink(elsewhere, record); }},
        {"not UTF-8",
         [&] { dir.write(".orvane.log.bin", std::string("iSize=5&&logName=\xff\xfe", 18)); }},
        {"64 MiB", [&] {
             dir.write(".orvane.log.bin", "iSize=5");
             fs::resize_file(record, 64 << 20);
         }}};
    for (const auto& [name, make] : cases) {
        fs::remove(record);
        make();
        EXPECT_EQ(inBoundedChild([&] {
                      FileLog log;
                      log.iSize = 77;
                      ParseFileLog(dir.path()).readFileLog("", log);
                      return log.iSize == 77;
                  }),
                  0)
            << name;
    }
}

// Root with another user's HOME (as sudo -E leaves it) leaves that home as it was: no record,
// and no folder made by reading one.
TEST(HistoryRecord, NothingIsWrittenIntoTheHomeOfAnotherUser) {
    TestPlatform platform;
    PlatformContext context = platform.context();
    fs::create_directories(context.home);
    context.uid += 1;
    Services::setContext(context);
    EXPECT_FALSE(ParseFileLog().setSize(10, may6()));
    FileLog log;
    ParseFileLog().readFileLog("", log);
    EXPECT_FALSE(fs::exists(context.xdgDataHome));
}
