// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>
#include <unistd.h>

#include "app/ProcessEntry.h"
#include "platform/Services.h"
#include "platform/SystemVersionSource.h"
#include "support/ChildProcess.h"
#include "support/ProcessRunner.h"
#include "support/TempDir.h"
#include "support/TestPlatform.h"
#include "sysinfo/DiagnosticLog.h"

using namespace quillby;

namespace fs = std::filesystem;

namespace {

std::map<std::string, std::string> homeIn(const TempDir& dir) {
    return {{"HOME", dir.path().string()}};
}

// The program's log under a home folder.
const char* const kLog = ".local/share/com.quillby.pro/orvane.log";

fs::path logIn(const TempDir& dir) {
    return dir / kLog;
}

struct Kernel : SystemVersionSource {
    unsigned major, minor;
    Kernel(unsigned a, unsigned b) : major(a), minor(b) {}
    bool systemVersion(unsigned& a, unsigned& b, unsigned& c) override {
        a = major;
        b = minor;
        c = 0;
        return true;
    }
};

// Runs the entry in a child process, since it points standard error at the log.
int entryStatusInChild(unsigned kernelMajor, unsigned kernelMinor, std::vector<const char*> argv) {
    return childExitStatus([&] {
        TestPlatform platform;
        Services::install<SystemVersionSource>(std::make_shared<Kernel>(kernelMajor, kernelMinor));
        ::close(STDOUT_FILENO);
        return runProcessEntry(static_cast<int>(argv.size()), argv.data()).value_or(100);
    });
}

}  // namespace

TEST(ProcessEntry, PurgeModeLogsTheSizeAndEndsWithZero) {
    TempDir home;
    auto result = runProcess(QUILLBY_PRO_PATH, {"fr", "123"}, homeIn(home));
    EXPECT_EQ(result.status, 0);
    std::string log = TempDir::read(logIn(home));
    EXPECT_NE(log.find("freeMemoy size=123\n"), std::string::npos);
    EXPECT_NE(log.find("Orvane Log file: "), std::string::npos);  // header of a new log
    EXPECT_TRUE(result.err.empty()) << result.err;                // everything went to the log

    // A second start appends to the same log without a second header.
    runProcess(QUILLBY_PRO_PATH, {"x", "fr", "7"}, homeIn(home));
    log = TempDir::read(logIn(home));
    EXPECT_NE(log.find("freeMemoy size=7\n"), std::string::npos);
    EXPECT_EQ(log.find("Orvane Log file: "), log.rfind("Orvane Log file: "));
}

// The purge child shares the log with the running program: it must never delete it.
TEST(ProcessEntry, PurgeModeNeverTrimsTheLog) {
    TempDir home;
    home.write(kLog, "Orvane Log file: earlier\n");
    fs::resize_file(logIn(home), DiagnosticLog::kMaximumSize + 1);
    auto result = runProcess(QUILLBY_PRO_PATH, {"fr", "9"}, homeIn(home));
    EXPECT_EQ(result.status, 0);
    EXPECT_GT(fs::file_size(logIn(home)), DiagnosticLog::kMaximumSize + 1);
    EXPECT_EQ(TempDir::read(logIn(home)).rfind("Orvane Log file: "), 0u);
}

TEST(ProcessEntry, FrWithoutANumberStartsNormally) {
    EXPECT_EQ(entryStatusInChild(6, 1, {"quillby-pro", "fr"}), 100);
    EXPECT_EQ(entryStatusInChild(6, 1, {"quillby-pro"}), 100);
    EXPECT_EQ(entryStatusInChild(6, 1, {"quillby-pro", "fr", "5"}), 0);
}

TEST(ProcessEntry, KernelOlderThanSupportedEndsWithZero) {
    EXPECT_EQ(entryStatusInChild(4, 18, {"quillby-pro"}), 0);
    EXPECT_EQ(entryStatusInChild(4, 19, {"quillby-pro"}), 100);
}
