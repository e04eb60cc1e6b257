// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <utility>

#include "core/fs/FileURL.h"
#include "platform/linux/LinuxFileViewer.h"
#include "support/TempDir.h"

using namespace quillby;

namespace fs = std::filesystem;

namespace {

// A launcher that records what it was asked to start and starts nothing.
struct RecordingLauncher : ProcessLauncher {
    struct Done : LaunchedProcess {
        bool isRunning() override { return false; }
        int terminationStatus() override { return 0; }
        void terminate() override {}
    };
    std::vector<std::vector<std::string>> started;
    std::unique_ptr<LaunchedProcess> launch(const std::string& program,
                                            const std::vector<std::string>& arguments) override {
        std::vector<std::string> call{program};
        call.insert(call.end(), arguments.begin(), arguments.end());
        started.push_back(std::move(call));
        return std::make_unique<Done>();
    }
    std::string ownExecutable() override { return {}; }
    std::string findTool(const std::string&) override { return {}; }
    bool runningAsAdministrator() override { return false; }
};

struct Viewer {
    explicit Viewer(bool fileManagerAnswers) {
        LinuxFileViewer::Options options;
        options.launcher = launcher;
        options.fileManager = [this, fileManagerAnswers](const std::string& method,
                                                         const std::string& uri) {
            calls.emplace_back(method, uri);
            return fileManagerAnswers;
        };
        viewer = std::make_unique<LinuxFileViewer>(std::move(options));
    }
    std::shared_ptr<RecordingLauncher> launcher = std::make_shared<RecordingLauncher>();
    std::vector<std::pair<std::string, std::string>> calls;
    std::unique_ptr<LinuxFileViewer> viewer;
};

}  // namespace

TEST(LinuxFileViewer, OpeningAProgramRevealsItAndNeverStartsIt) {
    TempDir dir;
    fs::path script = dir.write("bin/tool.sh", "#!/bin/sh\ntouch ran\n");
    ::chmod(script.c_str(), 0755);
    fs::path elf = dir.write("bin/program", std::string("\x7f"
                                                        "ELF\x02\x01\x01",
                                                        7));
    fs::path entry = dir.write("bin/start.desktop", "[Desktop Entry]\nType=Application\nExec=x\n");

    for (const fs::path& item : {script, elf, entry}) {
        Viewer withManager(true);
        EXPECT_TRUE(withManager.viewer->openFile(item.string()));
        EXPECT_TRUE(withManager.launcher->started.empty()) << item;
        ASSERT_EQ(withManager.calls.size(), 1u);
        EXPECT_EQ(withManager.calls[0],
                  std::make_pair(std::string("ShowItems"), fileURLFromPath(item.string())));

        // Without a file manager only the folder is opened.
        Viewer withoutManager(false);
        EXPECT_TRUE(withoutManager.viewer->openFile(item.string()));
        EXPECT_EQ(withoutManager.launcher->started,
                  (std::vector<std::vector<std::string>>{{"xdg-open", (dir / "bin").string()}}));
    }
    EXPECT_FALSE(fs::exists(dir / "ran"));
}

TEST(LinuxFileViewer, OpensDocumentsWithTheirApplicationAndShowsFolders) {
    TempDir dir;
    fs::path document = dir.write("docs/report.txt", "text\n");
    Viewer viewer(true);
    EXPECT_TRUE(viewer.viewer->openFile(document.string()));
    EXPECT_TRUE(viewer.viewer->openFile((dir / "docs").string()));
    EXPECT_EQ(viewer.launcher->started,
              (std::vector<std::vector<std::string>>{{"xdg-open", document.string()}}));
    ASSERT_EQ(viewer.calls.size(), 1u);
    EXPECT_EQ(viewer.calls[0].first, "ShowFolders");
}

TEST(LinuxFileViewer, AnOpenerThatHangsIsGivenUpAfterTheTimeLimit) {
    struct Hanging : RecordingLauncher {
        struct Running : LaunchedProcess {
            bool* terminated;
            explicit Running(bool* flag) : terminated(flag) {}
            bool isRunning() override { return !*terminated; }
            int terminationStatus() override { return *terminated ? 143 : -1; }
            void terminate() override { *terminated = true; }
        };
        bool terminated = false;
        std::unique_ptr<LaunchedProcess> launch(const std::string&,
                                                const std::vector<std::string>&) override {
            return std::make_unique<Running>(&terminated);
        }
    };
    TempDir dir;
    fs::path document = dir.write("a.txt", "text\n");
    auto launcher = std::make_shared<Hanging>();
    LinuxFileViewer::Options options;
    options.launcher = launcher;
    options.fileManager = [](const std::string&, const std::string&) { return false; };
    options.timeLimit = std::chrono::milliseconds(50);
    LinuxFileViewer viewer(std::move(options));
    EXPECT_FALSE(viewer.openFile(document.string()));
    EXPECT_TRUE(launcher->terminated);
}
