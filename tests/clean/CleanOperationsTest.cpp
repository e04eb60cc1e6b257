// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <set>

#include "CleanFixture.h"
#include "clean/BrowseFolderOperation.h"
#include "clean/CleanCategory.h"
#include "clean/DeleteFolderOperation.h"
#include "clean/QuickCleanSession.h"
#include "core/events/Events.h"
#include "core/work/PrivilegedAuthorization.h"

using namespace quillby;

namespace fs = std::filesystem;

namespace {

const std::vector<std::string> kScanEvents{"ScanSingleFolder", "ScanOperationFinish",
                                           "FastCleanCanceled"};

std::uint64_t ownSize(const fs::path& path) {
    struct stat info {};
    ::lstat(path.c_str(), &info);
    return static_cast<std::uint64_t>(info.st_size);
}

}  // namespace

TEST(DeleteFolderOperation, FileAndSubfolderGiveTwoSuccessesWithTheirOwnSizes) {
    TempDir dir;
    dir.write("folder/file", "0123456789");
    dir.write("folder/sub/inner/deep", std::string(5000, 'x'));
    std::uint64_t subSize = ownSize(dir / "folder/sub");
    EventRecorder recorder(kCleanEvents);
    cleanWithoutRights({everything(dir / "folder")});

    auto records = recorder.records();
    ASSERT_EQ(recorder.names(), (std::vector<std::string>{"BeginFastClean", "DeleteFileSuccess",
                                                          "DeleteFileSuccess", "FastCleanFinish"}));
    std::map<std::string, std::uint64_t> sizes;
    for (const auto& record : records) {
        if (record.name == "DeleteFileSuccess") {
            sizes[record.path] = std::any_cast<std::uint64_t>(record.size);
        }
    }
    EXPECT_EQ(sizes,
              (std::map<std::string, std::uint64_t>{{(dir / "folder/file").string(), 10},
                                                    {(dir / "folder/sub").string(), subSize}}));
    EXPECT_TRUE(fs::is_directory(dir / "folder"));
    EXPECT_TRUE(fs::is_empty(dir / "folder"));
}

TEST(DeleteFolderOperation, EmptyMissingAndProtectedFolders) {
    TempDir dir;
    fs::create_directories(dir / "empty");
    dir.write("protected/keep", "k");
    {
        EventRecorder recorder(kCleanEvents);
        cleanWithoutRights({everything(dir / "empty"), everything(dir / "missing")});
        EXPECT_EQ(recorder.names(),
                  (std::vector<std::string>{"BeginFastClean", "FastCleanFinish"}));
    }
    EventRecorder recorder(kCleanEvents);
    DeleteFolderOperation(
        {everything(dir / "protected")},
        {.authorization = &noRights(), .isDeletableFolder = [](const fs::path&) { return false; }})
        .main();
    auto records = recorder.records();
    ASSERT_EQ(recorder.names(),
              (std::vector<std::string>{"BeginFastClean", "DeleteFileFailed", "FastCleanFinish"}));
    EXPECT_EQ(records[1].path, (dir / "protected").string());
    EXPECT_FALSE(records[1].size.has_value());
    EXPECT_TRUE(fs::exists(dir / "protected/keep"));
}

TEST(DeleteFolderOperation, NeverFollowsALinkOutOfTheFolder) {
    TempDir dir;
    TempDir outside;
    outside.write("precious", "keep");
    outside.write("folder/inner", "keep");
    dir.write("cache/own", "x");
    fs::create_symlink(outside / "precious", dir / "cache/link-to-file");
    fs::create_directory_symlink(outside / "folder", dir / "cache/link-to-folder");
    fs::create_directory_symlink(outside.path(), dir / "linked-cache");
    cleanWithoutRights({everything(dir / "cache"), everything(dir / "linked-cache")});
    EXPECT_TRUE(fs::is_empty(dir / "cache"));
    EXPECT_EQ(TempDir::read(outside / "precious"), "keep");
    EXPECT_EQ(TempDir::read(outside / "folder/inner"), "keep");
    EXPECT_TRUE(fs::is_symlink(dir / "linked-cache"));
}

TEST(DeleteFolderOperation, RulesKeepLiveLogsLocksAndPartialDownloads) {
    CleanFixture machine;
    cleanWithoutRights(foldersOf(machine, {0, 2, 3}));
    for (const char* gone :
         {"var/log/syslog.1", "var/log/syslog.2.gz", "var/log/nginx/access.log.1",
          "var/log/apt/history.log-20240101", "var/log/journal/0123/system@0001-0002.journal",
          "var/cache/apt/archives/tool_1.0_amd64.deb", "var/cache/dnf/fedora-1a2b/packages",
          "home/.local/state/app/x.log", "home/.local/state/app/logs",
          "home/.xsession-errors.old"}) {
        EXPECT_FALSE(fs::exists(machine / gone)) << gone;
    }
    for (const char* kept :
         {"var/log/syslog", "var/log/dpkg.log", "var/log/nginx/access.log",
          "var/log/journal/0123/system.journal", "var/log/apt", "var/cache/apt/archives/lock",
          "var/cache/apt/archives/partial/next_2.0_amd64.deb",
          "var/cache/dnf/fedora-1a2b/metadata_lock.pid", "home/.local/state/app/state.db",
          "home/.local/state/wireplumber/stream-properties", "home/.xsession-errors",
          "home/notes.txt", "home/.cache/.hidden", "home/Downloads/setup.iso"}) {
        EXPECT_TRUE(fs::exists(machine / kept)) << kept;
    }
}

TEST(DeleteFolderOperation, EmptyingATrashTidiesItsInfoExpungedAndSizes) {
    CleanFixture machine;
    std::string uid = std::to_string(machine.platform.context().uid);
    cleanWithoutRights(foldersOf(machine, {CleanCategoryId::UserTrash}));
    fs::path trash = machine / "home/.local/share/Trash";
    EXPECT_TRUE(fs::is_empty(trash / "files"));
    EXPECT_TRUE(fs::is_empty(trash / "info"));
    EXPECT_TRUE(fs::is_empty(trash / "expunged"));
    EXPECT_FALSE(fs::exists(trash / "directorysizes"));
    EXPECT_TRUE(fs::is_empty(machine / ("vol1/.Trash-" + uid + "/files")));
    EXPECT_TRUE(fs::is_empty(machine / ("vol1/.Trash-" + uid + "/info")));
    EXPECT_TRUE(fs::is_empty(machine / ("vol2/.Trash/" + uid + "/files")));
    EXPECT_TRUE(fs::exists(machine / ("vol3/.Trash/" + uid + "/files/untrusted")));
}

TEST(DeleteFolderOperation, CancellationStopsAtTheNextItem) {
    TempDir dir;
    dir.write("first/a", "a");
    dir.write("first/b", "b");
    dir.write("second/c", "c");
    {
        DeleteFolderOperation early({everything(dir / "first")}, {.authorization = &noRights()});
        EventRecorder recorder(kCleanEvents);
        early.cancel();
        early.main();
        EXPECT_EQ(recorder.names(),
                  (std::vector<std::string>{"BeginFastClean", "FastCleanCanceled"}));
    }
    auto operation = std::make_shared<DeleteFolderOperation>(
        std::vector<CleanFolder>{everything(dir / "first"), everything(dir / "second")},
        DeleteFolderOperation::Options{.authorization = &noRights()});
    EventRecorder recorder(kCleanEvents);
    auto stopper = EventBus::defaultCenter().observe(Events::DeleteFileSuccess,
                                                     [&](const Event&) { operation->cancel(); });
    operation->main();
    auto names = recorder.names();
    EXPECT_EQ(std::count(names.begin(), names.end(), "DeleteFileSuccess"), 1);
    EXPECT_EQ(std::find(names.begin(), names.end(), "FastCleanFinish"), names.end());
    EXPECT_EQ(names[2], "FastCleanCanceled");
    EXPECT_TRUE(fs::exists(dir / "second/c"));
}

TEST(BrowseFolderOperation, MeasuresWhatMayBeCleaned) {
    CleanFixture machine;
    fs::path logs = machine / "var/log";
    EventRecorder recorder(kScanEvents);
    std::uint64_t size = 0, count = 0;
    auto finished =
        EventBus::defaultCenter().observe(Events::ScanOperationFinish, [&](const Event& event) {
            size = *userInfoValue<std::uint64_t>(event, EventKeys::FolderSize);
            count = *userInfoValue<std::uint64_t>(event, EventKeys::FileCount);
        });
    BrowseFolderOperation(
        foldersOf(machine, {CleanCategoryId::SystemLogs, CleanCategoryId::UserLogs}))
        .main();
    EXPECT_EQ(size, 150u + 40 + 30 + 50 + 80);
    // syslog.1 ... journal: 5; x.log, x.log.1, logs with its file, .xsession-errors.old: 5.
    EXPECT_EQ(count, 10u);
    auto records = recorder.records();
    ASSERT_EQ(records.size(), 5u);
    EXPECT_EQ(records[0].path, logs.string());
    EXPECT_EQ(records.back().name, "ScanOperationFinish");

    // A root that is a file measures nothing.
    BrowseFolderOperation({everything(machine / "home/notes.txt")}).main();
    EXPECT_EQ(size, 0u);
    EXPECT_EQ(count, 0u);
}

TEST(BrowseFolderOperation, CancellationBeforeOrDuringTheLastFolder) {
    TempDir dir;
    dir.write("one/a", "a");
    dir.write("two/b", "bb");
    const std::string start = "ScanSingleFolder", cancelled = "FastCleanCanceled";
    struct Case {
        int cancelAt;  // 0: before it runs; n: when the nth folder starts
        std::vector<std::string> events;
    } const cases[] = {
        {0, {cancelled}},
        {1, {start, cancelled, cancelled}},
        {2, {start, start, cancelled, "ScanOperationFinish"}},
    };
    for (const auto& c : cases) {
        auto operation = std::make_shared<BrowseFolderOperation>(
            std::vector<CleanFolder>{everything(dir / "one"), everything(dir / "two")});
        EventRecorder recorder(kScanEvents);
        int started = 0;
        auto stopper =
            EventBus::defaultCenter().observe(Events::ScanSingleFolder, [&](const Event&) {
                if (++started == c.cancelAt) operation->cancel();
            });
        if (c.cancelAt == 0) operation->cancel();
        operation->main();
        EXPECT_EQ(recorder.names(), c.events) << "cancelled at " << c.cancelAt;
    }
}

TEST(QuickCleanSession, FiguresSayWhatReallyWent) {
    CleanFixture machine;
    fs::path cache = machine / "home/.cache";
    auto folders =
        foldersOf(machine, {CleanCategoryId::UserCaches, CleanCategoryId::UserDownloads});
    // Downloads cannot be changed without rights: reported, and not counted as cleaned.
    QuickCleanSession session(
        folders, {.authorization = &noRights(),
                  .isDeletableFolder = [&](const fs::path& folder) { return folder == cache; }});
    std::vector<std::string> started;
    TreeTotals found = session.scan([&](const std::string& folder) { started.push_back(folder); });
    EXPECT_EQ(found.bytes, 100u + 2 + 3000);
    EXPECT_EQ(found.entries, 4u);
    EXPECT_EQ(started.size(), 2u);
    std::vector<JobProgress> progress;
    QuickCleanResult result = session.clean([&](const JobProgress& p) { progress.push_back(p); });
    EXPECT_EQ(result.fileCount, 4u);
    EXPECT_EQ(result.totalSize, 3102u);
    EXPECT_EQ(result.cleanedCount, 3u);
    EXPECT_EQ(result.cleanedSize, 102u);
    ASSERT_EQ(result.failures.size(), 1u);
    EXPECT_EQ(result.failures[0].path, (machine / "home/Downloads").string());
    EXPECT_EQ(result.failures[0].reason, "permission denied");
    EXPECT_FALSE(result.cancelled);
    ASSERT_EQ(progress.size(), 3u);
    EXPECT_NEAR(progress[1].percent(), 75.0, 0.01);
    EXPECT_TRUE(fs::exists(machine / "home/Downloads/setup.iso"));
    EXPECT_TRUE(fs::is_empty(cache));
}
