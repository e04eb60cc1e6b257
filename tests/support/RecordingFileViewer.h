// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <vector>

#include "platform/FileViewer.h"

using namespace quillby;

// A file viewer that remembers what it was asked to open and reveal, and answers as told.
struct RecordingFileViewer : FileViewer {
    bool openAnswer = true;
    bool revealAnswer = true;
    std::vector<std::string> opened, revealed;

    bool openFolder(const std::string&) override { return true; }
    bool openFile(const std::string& path) override {
        opened.push_back(path);
        return openAnswer;
    }
    bool revealItem(const std::string& path) override {
        revealed.push_back(path);
        return revealAnswer;
    }
};
