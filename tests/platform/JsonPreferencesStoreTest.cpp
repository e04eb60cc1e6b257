#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include "core/Log.h"
#include "core/UserDefaults.h"
#include "platform/linux/JsonPreferencesStore.h"
#include "support/ChildProcess.h"
#include "support/TempDir.h"

namespace fs = std::filesystem;

TEST(JsonPreferencesStore, ValuesKeepTheirTypesAcrossInstances) {
    TempDir dir;
    fs::path file = dir / "config/com.quillby.pro/preferences.json";
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
    EXPECT_EQ(std::get<std::int64_t>(*reopened.read("UserTrash")), 2);
    EXPECT_EQ(std::get<bool>(*reopened.read("fade")), false);
    EXPECT_EQ(std::get<std::string>(*reopened.read("Note")), "a \"quoted\" text");
    EXPECT_EQ(reopened.readAll().size(), 4u);
    EXPECT_EQ(fs::status(file).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write);
}

TEST(JsonPreferencesStore, SeesWritesOfAnotherProcess) {
    TempDir dir;
    fs::path file = dir / "preferences.json";
    JsonPreferencesStore mine(file), theirs(file);
    ASSERT_TRUE(mine.write("A", std::int64_t{1}));
    EXPECT_EQ(std::get<std::int64_t>(*theirs.read("A")), 1);
    ASSERT_TRUE(theirs.write("B", std::int64_t{2}));
    EXPECT_EQ(std::get<std::int64_t>(*mine.read("B")), 2);
    ASSERT_TRUE(mine.write("A", std::int64_t{3}));  // re-reads first: B survives
    JsonPreferencesStore check(file);
    EXPECT_EQ(std::get<std::int64_t>(*check.read("A")), 3);
    EXPECT_EQ(std::get<std::int64_t>(*check.read("B")), 2);
}

TEST(JsonPreferencesStore, CorruptFileIsKeptAsideAndReadsAsDefaults) {
    TempDir dir;
    fs::path file = dir.write("preferences.json", "{\"SpaceAlarm\": 0.3,,,");
    std::vector<std::string> lines;
    ScopedLogCapture capture([&](std::string_view line) { lines.emplace_back(line); });
    JsonPreferencesStore store(file);
    EXPECT_FALSE(store.read("SpaceAlarm"));
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
    EXPECT_EQ(std::get<std::int64_t>(*again.read("UserTrash")), 1);
}

TEST(JsonPreferencesStore, ValuesOfUnknownShapeAreIgnoredNotFatal) {
    TempDir dir;
    fs::path file = dir.write("preferences.json", R"({"A": [1], "B": null, "C": 5})");
    JsonPreferencesStore store(file);
    EXPECT_FALSE(store.read("A"));
    EXPECT_FALSE(store.read("B"));
    EXPECT_EQ(std::get<std::int64_t>(*store.read("C")), 5);
}

TEST(JsonPreferencesStore, TwoProcessesWritingAtOnceLoseNothing) {
    TempDir dir;
    fs::path file = dir / "preferences.json";
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
    JsonPreferencesStore store(file);
    EXPECT_EQ(std::get<std::int64_t>(*store.read("First")), 200);
    EXPECT_EQ(std::get<std::int64_t>(*store.read("Second")), 200);
}

TEST(JsonPreferencesStore, FailedWriteKeepsTheFileWhole) {
    TempDir dir;
    fs::path file = dir / "preferences.json";
    JsonPreferencesStore store(file);
    ASSERT_TRUE(store.write("A", std::int64_t{1}));
    auto before = TempDir::read(file);
    // A disk that fills up mid-write.
    EXPECT_EQ(inChildWithFileSizeLimit(
                  before.size(), [&] { return !store.write("Longer", std::string(100, 'x')); }),
              0);
    EXPECT_EQ(TempDir::read(file), before);
    EXPECT_EQ(std::get<std::int64_t>(*JsonPreferencesStore(file).read("A")), 1);
}
