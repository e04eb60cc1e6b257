#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include "core/Log.h"
#include "support/TestPlatform.h"
#include "sysinfo/MacLog.h"

namespace fs = std::filesystem;

namespace {
void makeFileOfSize(const fs::path& file, std::uint64_t size) {
    fs::create_directories(file.parent_path());
    int fd = ::open(file.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::ftruncate(fd, static_cast<off_t>(size)), 0);
    ::close(fd);
}
}  // namespace

TEST(MacLog, LogsOfTwentyMebibytesSurviveOneByteMoreIsEmptiedNeverALinksTarget) {
    TempDir dir;
    makeFileOfSize(dir / "exact.log", MacLog::kMaximumSize);
    makeFileOfSize(dir / "over.log", MacLog::kMaximumSize + 1);
    makeFileOfSize(dir / "victim", MacLog::kMaximumSize + 1);
    fs::create_symlink(dir / "victim", dir / "link.log");
    MacLog::deleteLog(dir / "exact.log");
    MacLog::deleteLog(dir / "over.log");
    MacLog::deleteLog(dir / "missing.log");
    MacLog::deleteLog(dir / "link.log");
    EXPECT_EQ(fs::file_size(dir / "exact.log"), MacLog::kMaximumSize);
    EXPECT_EQ(fs::file_size(dir / "over.log"), 0u);
    EXPECT_EQ(fs::file_size(dir / "victim"), MacLog::kMaximumSize + 1);
    EXPECT_TRUE(fs::is_symlink(dir / "link.log"));
}

TEST(MacLog, HeaderOnlyForAMissingOrEmptyLog) {
    TestPlatform platform;
    std::vector<std::string> lines;
    ScopedLogCapture capture([&](std::string_view line) { lines.emplace_back(line); });
    fs::path path = MacLog::logFilePath("orvane.log");
    EXPECT_EQ(path, platform.context().xdgDataHome / "com.quillby.pro/orvane.log");
    EXPECT_TRUE(fs::is_directory(path.parent_path()));  // created so that no line is lost

    MacLog::logSysInfo(path);
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(lines[0], "Orvane Log file: " + path.string());
    EXPECT_EQ(lines[1], "hardware info");

    lines.clear();
    platform.root().write(path.lexically_relative(platform.root().path()), "earlier line\n");
    MacLog::logSysInfo(path);
    EXPECT_TRUE(lines.empty());
}

// The command line shares the log with the desktop program: it never deletes it, and a log it
// creates starts with the header like any other.
TEST(MacLog, CommandLineNeverTrimsAndHeadsANewLog) {
    TestPlatform platform;
    int previous = logDescriptor();
    fs::path path = MacLog::logFilePath("orvane.log");
    makeFileOfSize(path, MacLog::kMaximumSize + 1);
    MacLog::sendLogLinesTo("orvane.log");
    QWLog("a command line");
    EXPECT_GT(fs::file_size(path), MacLog::kMaximumSize + 1);
    ::close(logDescriptor());

    fs::path fresh = MacLog::logFilePath("fresh.log");
    MacLog::sendLogLinesTo("fresh.log");
    QWLog("a command line");
    ::close(logDescriptor());
    setLogDescriptor(previous);
    std::string text = TempDir::read(fresh);
    EXPECT_NE(text.find("Orvane Log file: " + fresh.string()), std::string::npos);
    EXPECT_LT(text.find("Orvane Log file: "), text.find("a command line"));
    EXPECT_EQ(text.find("a command line"), text.rfind("a command line"));
}
