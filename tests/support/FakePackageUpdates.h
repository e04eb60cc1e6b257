// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <atomic>
#include <mutex>
#include <string>
#include <vector>

#include "platform/PackageUpdateService.h"

// A package service that answers each update check with the next of its scripted answers (the
// last one again once they run out), and records the packages it was asked about.
struct FakePackageUpdates : quillby::PackageUpdateService {
    explicit FakePackageUpdates(bool running,
                                std::vector<quillby::PackageUpdateAnswer> answers = {})
        : running(running), answers(std::move(answers)) {}

    bool isRunning() override { return running; }
    quillby::PackageUpdateAnswer newerVersion(const std::string& package) override {
        std::lock_guard lock(mutex);
        asked.push_back(package);
        if (answers.empty()) return {};
        return answers[std::min(asked.size(), answers.size()) - 1];
    }

    const bool running;
    const std::vector<quillby::PackageUpdateAnswer> answers;
    std::mutex mutex;
    std::vector<std::string> asked;
};
