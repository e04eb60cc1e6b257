// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <QApplication>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "ui/QtMainQueue.h"

// Ui tests run without a display unless one was asked for explicitly. Qt and the libraries
// below it keep settings and caches in the user's folders (the file dialog's history, font
// caches): each run gets folders of its own, removed at the end, so no test changes the home.
int main(int argc, char** argv) {
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    char folderTemplate[] = "/tmp/quillby-ui-home-XXXXXX";
    const char* userFolders = mkdtemp(folderTemplate);
    if (!userFolders) return 2;
    for (const char* kind : {"CONFIG", "CACHE", "DATA", "STATE"}) {
        std::string folder = std::string(userFolders) + "/" + kind;
        std::filesystem::create_directory(folder);
        setenv((std::string("XDG_") + kind + "_HOME").c_str(), folder.c_str(), 1);
    }
    // Without a runtime folder Qt makes /tmp/runtime-USER and leaves it behind.
    std::string runtime = std::string(userFolders) + "/RUNTIME";
    if (mkdir(runtime.c_str(), 0700) != 0) return 2;
    setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
    int result = 0;
    {
        QApplication application(argc, argv);
        // Pages hand their work's results to the GUI thread through it, as in the program.
        quillby::QtMainQueue queue;
        ::testing::InitGoogleTest(&argc, argv);
        result = RUN_ALL_TESTS();
    }
    std::error_code ignored;
    std::filesystem::remove_all(userFolders, ignored);
    return result;
}
