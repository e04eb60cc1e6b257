// SPDX-License-Identifier: GPL-3.0-or-later
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include "core/events/Log.h"
#include "platform/Services.h"
#include "support/TestPlatform.h"
#include "sysinfo/DiagnosticLog.h"

using namespace quillby;

namespace fs = std::filesystem;

namespace {
void makeFileOfSize(const fs::path& file, std::uint64_t size) {
    fs::create_directories(file.parent_path());
    int fd = ::open(file.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::ftruncate(fd, static_cast<off_t>(size)), 0);
    ::close(fd);
}

// Sends one line to the log `name` as the command line does, then puts the log back.
void logOneLineTo(const std::string& name) {
    int previous = logDescriptor();
    DiagnosticLog::sendLogLinesTo(name);
    QWLog("a command line");
    if (logDescriptor() > STDERR_FILENO) ::close(logDescriptor());
    setLogDescriptor(previous);
}
}  // namespace

TEST(DiagnosticLog, LogsOfTwentyMebibytesSurviveOneByteMoreIsEmptied) {
    TempDir dir;
    for (std::uint64_t size : {DiagnosticLog::kMaximumSize, DiagnosticLog::kMaximumSize + 1}) {
        makeFileOfSize(dir / "orvane.log", size);
        int fd = ::open((dir / "orvane.log").c_str(), O_WRONLY | O_APPEND);
        ASSERT_GE(fd, 0);
        DiagnosticLog::trimLog(fd);
        ::close(fd);
        EXPECT_EQ(fs::file_size(dir / "orvane.log"), size > DiagnosticLog::kMaximumSize ? 0 : size);
    }
}

TEST(DiagnosticLog, HeaderOnlyForAMissingOrEmptyLog) {
    TestPlatform platform;
    std::vector<std::string> lines;
    ScopedLogCapture capture([&](std::string_view line) { lines.emplace_back(line); });
    fs::path path = DiagnosticLog::logFilePath("orvane.log").value();
    EXPECT_EQ(path, platform.context().xdgDataHome / "com.quillby.pro/orvane.log");
    EXPECT_TRUE(fs::is_directory(path.parent_path()));  // created so that no line is lost

    int fd = ::open(path.c_str(), O_RDWR | O_CREAT, 0600);
    ASSERT_GE(fd, 0);
    DiagnosticLog::logSysInfo(fd, path);
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(lines[0], "Orvane Log file: " + path.string());
    EXPECT_EQ(lines[1], "hardware info");

    lines.clear();
    ASSERT_EQ(::write(fd, "earlier line\n", 13), 13);
    DiagnosticLog::logSysInfo(fd, path);
    ::close(fd);
    EXPECT_TRUE(lines.empty());
}

// The command line shares the log with the desktop program: it never deletes it, and a log it
// creates starts with the header like any other.
TEST(DiagnosticLog, CommandLineNeverTrimsAndHeadsANewLog) {
    TestPlatform platform;
    fs::path path = DiagnosticLog::logFilePath("orvane.log").value();
    makeFileOfSize(path, DiagnosticLog::kMaximumSize + 1);
    logOneLineTo("orvane.log");
    EXPECT_GT(fs::file_size(path), DiagnosticLog::kMaximumSize + 1);

    fs::path fresh = DiagnosticLog::logFilePath("fresh.log").value();
    logOneLineTo("fresh.log");
    std::string text = TempDir::read(fresh);
    EXPECT_TRUE(holdsAll(text, "Orvane Log file: " + fresh.string()));
    EXPECT_LT(text.find("Orvane Log file: "), text.find("a command line"));
    EXPECT_EQ(text.find("a command line"), text.rfind("a command line"));
}

// Something else in the log's place (a link to another file, a file of another user) is never
// written through: the log lines go nowhere rather than into it.
TEST(DiagnosticLog, OnlyTheUsersOwnPlainFileIsWrittenAsTheLog) {
    struct Case {
        const char* name;
        bool link;  // else a file given to another user (needs root)
    };
    for (const Case& c : {Case{"link", true}, Case{"another user's file", false}}) {
        if (!c.link && ::geteuid() != 0) continue;
        TestPlatform platform;
        fs::path path = platform.context().appDataFolder() / "orvane.log";
        fs::path other = platform.root().write("elsewhere/notes.txt", "mine\n");
        fs::create_directories(path.parent_path());
        if (c.link) {
            fs::create_symlink(other, path);
        } else {
            fs::copy_file(other, path);
            other = path;
            ASSERT_EQ(::chown(path.c_str(), 65534, 65534), 0);
        }
        logOneLineTo("orvane.log");
        EXPECT_EQ(TempDir::read(other), "mine\n") << c.name;
    }
}

// Root with another user's HOME (as sudo -E leaves it) makes no folder or log in that home.
TEST(DiagnosticLog, NoLogInTheHomeOfAnotherUser) {
    TestPlatform platform;
    PlatformContext context = platform.context();
    fs::create_directories(context.home);
    context.uid += 1;
    Services::setContext(context);
    logOneLineTo("orvane.log");
    EXPECT_FALSE(fs::exists(context.xdgDataHome));
}
