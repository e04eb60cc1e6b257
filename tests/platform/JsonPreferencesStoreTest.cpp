// SPDX-License-Identifier: GPL-3.0-or-later
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <atomic>
#include <fstream>
#include <nlohmann/json.hpp>
#include <thread>

#include "core/events/Log.h"
#include "core/settings/UserDefaults.h"
#include "platform/linux/JsonPreferencesStore.h"
#include "support/ChildProcess.h"
#include "support/TempDir.h"
#include "support/UnprivilegedChild.h"

using namespace quillby;

namespace fs = std::filesystem;

namespace {

// Every test keeps its file in a folder of its own and sees the log lines of the store.
class JsonPreferencesStoreTest : public ::testing::Test {
  protected:
    static std::int64_t integer(JsonPreferencesStore& store, const std::string& key) {
        return std::get<std::int64_t>(*store.read(key));
    }
    static std::int64_t integerOnDisk(const fs::path& file, const std::string& key) {
        JsonPreferencesStore fresh(file);
        return integer(fresh, key);
    }

    TempDir dir;
    fs::path file = dir / "preferences.json";
    std::vector<std::string> lines;
    ScopedLogCapture capture{[this](std::string_view line) { lines.emplace_back(line); }};
};

}  // namespace

TEST_F(JsonPreferencesStoreTest, ValuesKeepTheirTypesAcrossInstances) {
    file = dir / "config/com.quillby.pro/preferences.json";  // its folders are made too
    {
        JsonPreferencesStore store(file);
        EXPECT_FALSE(store.read("SpaceAlarm"));  // no file yet
        ASSERT_TRUE(store.write("SpaceAlarm", 0.25));
        ASSERT_TRUE(store.write("UserTrash", std::int64_t{2}));
        ASSERT_TRUE(store.write("fade", false));
        ASSERT_TRUE(store.write("Note", std::string("a \"quoted\" text")));
    }
    JsonPreferencesStore reopened(file);
    EXPECT_EQ(std::get<double>(*reopened.read("SpaceAlarm")), 0.25);
    EXPECT_EQ(integer(reopened, "UserTrash"), 2);
    EXPECT_EQ(std::get<bool>(*reopened.read("fade")), false);
    EXPECT_EQ(std::get<std::string>(*reopened.read("Note")), "a \"quoted\" text");
    EXPECT_EQ(reopened.readAll().size(), 4u);
    EXPECT_EQ(fs::status(file).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write);
}

TEST_F(JsonPreferencesStoreTest, SeesWritesOfAnotherProcess) {
    JsonPreferencesStore mine(file), theirs(file);
    ASSERT_TRUE(mine.write("A", std::int64_t{1}));
    EXPECT_EQ(integer(theirs, "A"), 1);
    ASSERT_TRUE(theirs.write("B", std::int64_t{2}));
    EXPECT_EQ(integer(mine, "B"), 2);
    ASSERT_TRUE(mine.write("A", std::int64_t{3}));  // re-reads first: B survives
    EXPECT_EQ(integerOnDisk(file, "A"), 3);
    EXPECT_EQ(integerOnDisk(file, "B"), 2);
}

TEST_F(JsonPreferencesStoreTest, CorruptFileIsKeptAsideAndReadsAsDefaults) {
    dir.write("preferences.json", "{\"SpaceAlarm\": 0.3,,,");
    JsonPreferencesStore store(file);
    EXPECT_FALSE(store.read("SpaceAlarm"));
    EXPECT_TRUE(holdsAll(store.failure(), "kept aside as " + file.string() + ".corrupt"));
    EXPECT_FALSE(store.read("UserTrash"));
    EXPECT_NE(store.failure(), "");  // the file left missing is still no "nothing stored yet"
    EXPECT_EQ(TempDir::read(dir / "preferences.json.corrupt"), "{\"SpaceAlarm\": 0.3,,,");
    EXPECT_FALSE(fs::exists(file));
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_NE(lines[0].find("preferences.json.corrupt"), std::string::npos);

    // A second corrupt file does not replace the first one kept aside.
    dir.write("preferences.json", "[1, 2]");
    JsonPreferencesStore again(file);
    EXPECT_TRUE(again.readAll().empty());
    EXPECT_EQ(TempDir::read(dir / "preferences.json.corrupt.1"), "[1, 2]");
    ASSERT_TRUE(again.write("UserTrash", std::int64_t{1}));
    EXPECT_EQ(integer(again, "UserTrash"), 1);
    EXPECT_EQ(again.failure(), "");
}

TEST_F(JsonPreferencesStoreTest, ValuesOfUnknownShapeAreIgnoredAndKeptOnRewrite) {
    dir.write("preferences.json", R"({"A": [1], "B": null, "C": 5, "D": {"x": 1}})");
    JsonPreferencesStore store(file);
    EXPECT_FALSE(store.read("A"));
    EXPECT_FALSE(store.read("B"));
    EXPECT_EQ(integer(store, "C"), 5);
    ASSERT_TRUE(store.write("E", true));
    auto document = nlohmann::json::parse(TempDir::read(file));
    EXPECT_EQ(document,
              nlohmann::json::parse(R"({"A": [1], "B": null, "C": 5, "D": {"x": 1}, "E": true})"));
}

TEST_F(JsonPreferencesStoreTest, AFileThatCannotBeReadIsNeverReplaced) {
    ASSERT_TRUE(JsonPreferencesStore(file).write("SpaceAlarm", 0.3));
    const std::string before = TempDir::read(file);
    // Owned by the user who runs the store, and unreadable to them.
    if (::geteuid() == 0) {
        ASSERT_EQ(::chown(dir.path().c_str(), kNobodyId, kNobodyId), 0);
        ASSERT_EQ(::chown(file.c_str(), kNobodyId, kNobodyId), 0);
        ASSERT_EQ(::chown((dir / ".preferences.lock").c_str(), kNobodyId, kNobodyId), 0);
    }
    EXPECT_TRUE(asOrdinaryUser([&] {
        std::vector<std::string> lines;
        ScopedLogCapture capture([&](std::string_view line) { lines.emplace_back(line); });
        JsonPreferencesStore store(file);
        bool cached = std::get<double>(*store.read("SpaceAlarm")) == 0.3;
        fs::permissions(file, fs::perms::none);
        bool refused = !store.write("SpaceAlarm", 0.2) && !store.write("fade", true);
        bool keptCache = store.read("SpaceAlarm") && !store.read("fade");
        bool logged = lines.size() == 3 && lines[0].find("Permission denied") != std::string::npos;
        fs::permissions(file, fs::perms::owner_read | fs::perms::owner_write);
        bool retried = store.write("fade", true) && std::get<bool>(*store.read("fade")) &&
                       std::get<double>(*store.read("SpaceAlarm")) == 0.3;
        return cached && refused && keptCache && logged && retried;
    }));
    EXPECT_NE(TempDir::read(file).find("\"SpaceAlarm\": 0.3"), std::string::npos);
    EXPECT_NE(TempDir::read(file), before);  // the last write went in beside the old key
    EXPECT_FALSE(fs::exists(dir / "preferences.json.corrupt"));
}

TEST_F(JsonPreferencesStoreTest, AFolderAFifoOrALinkInPlaceOfAFileFailsWritesAndStaysAsItIs) {
    fs::create_directories(file / "inside");
    JsonPreferencesStore store(file);
    EXPECT_TRUE(store.readAll().empty());
    EXPECT_FALSE(store.write("SpaceAlarm", 0.2));
    EXPECT_TRUE(fs::is_directory(file / "inside"));
    EXPECT_FALSE(fs::exists(dir / "preferences.json.corrupt"));
    ASSERT_EQ(lines.size(), 2u);  // the read once, then the write
    EXPECT_NE(lines[1].find("Is a directory"), std::string::npos);
    EXPECT_NE(lines[1].find("SpaceAlarm"), std::string::npos);

    // Nor is anything else that is not a plain file read or replaced (a FIFO would block).
    fs::path fifo = dir / "other.json";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    JsonPreferencesStore other(fifo);
    EXPECT_FALSE(other.write("SpaceAlarm", 0.2));
    EXPECT_TRUE(fs::is_fifo(fifo));

    // Nor is a link in place of the lock followed.
    fs::path linked = dir / "linked/preferences.json";
    fs::create_directories(linked.parent_path());
    fs::create_symlink(dir / "elsewhere", dir / "linked/.preferences.lock");
    EXPECT_FALSE(JsonPreferencesStore(linked).write("UserTrash", std::int64_t{1}));
    EXPECT_TRUE(noneExist(dir / "elsewhere", linked));
}

// A write must wait for every other holder of the writers' lock, shared ones included.
TEST_F(JsonPreferencesStoreTest, AWriteWaitsForTheWritersLock) {
    JsonPreferencesStore store(file);
    ASSERT_TRUE(store.write("A", std::int64_t{1}));
    int lock = ::open((dir / ".preferences.lock").c_str(), O_RDWR | O_CLOEXEC);
    ASSERT_GE(lock, 0);
    ASSERT_EQ(::flock(lock, LOCK_SH), 0);
    struct stat info {};
    ASSERT_EQ(::fstat(lock, &info), 0);

    std::atomic<bool> written{false};
    std::thread writer([&] { written = store.write("A", std::int64_t{2}); });
    // The kernel lists a request that waits for a lock with "->" before it.
    auto waiting = [&] {
        std::ifstream locks("/proc/locks");
        std::string line, inode = ":" + std::to_string(info.st_ino) + " ";
        while (std::getline(locks, line)) {
            if (line.find("->") != std::string::npos && line.find(inode) != std::string::npos)
                return true;
        }
        return false;
    };
    bool blocked = false;
    for (int i = 0; i < 2000 && !blocked && !written; ++i) {
        blocked = waiting();
        if (!blocked) std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    EXPECT_TRUE(blocked);
    EXPECT_FALSE(written);
    EXPECT_EQ(integerOnDisk(file, "A"), 1);
    ::close(lock);
    writer.join();
    EXPECT_TRUE(written);
    EXPECT_EQ(integerOnDisk(file, "A"), 2);
}

TEST_F(JsonPreferencesStoreTest, TwoProcessesWritingAtOnceLoseNothing) {
    auto writer = [&](const char* key) {
        pid_t pid = ::fork();
        if (pid == 0) {
            JsonPreferencesStore store(file);
            bool ok = true;
            for (std::int64_t i = 1; i <= 200; ++i) ok = store.write(key, i) && ok;
            ::_exit(ok ? 0 : 1);
        }
        return pid;
    };
    pid_t first = writer("First"), second = writer("Second");
    int status = 0;
    ASSERT_EQ(::waitpid(first, &status, 0), first);
    EXPECT_EQ(WEXITSTATUS(status), 0);
    ASSERT_EQ(::waitpid(second, &status, 0), second);
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(integerOnDisk(file, "First"), 200);
    EXPECT_EQ(integerOnDisk(file, "Second"), 200);
}

TEST_F(JsonPreferencesStoreTest, FailedWriteKeepsTheFileWhole) {
    JsonPreferencesStore store(file);
    ASSERT_TRUE(store.write("A", std::int64_t{1}));
    auto before = TempDir::read(file);
    // A disk that fills up mid-write.
    EXPECT_EQ(inChildWithFileSizeLimit(
                  before.size(), [&] { return !store.write("Longer", std::string(100, 'x')); }),
              0);
    EXPECT_EQ(TempDir::read(file), before);
    EXPECT_EQ(integerOnDisk(file, "A"), 1);
}
