// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/FileViewer.h"
#include "platform/ProcessLauncher.h"

namespace quillby {

// Reaches the file manager through the session bus's org.freedesktop.FileManager1 (ShowFolders,
// ShowItems), else starts xdg-open. Every bus call and every tool has a time limit.
class LinuxFileViewer final : public FileViewer {
  public:
    // A FileManager1 call: the method and one URI; true when it was answered without error.
    using BusCall = std::function<bool(const std::string& method, const std::string& uri)>;

    struct Options {
        std::string opener = "xdg-open";
        // How tools start; the Linux launcher when empty.
        std::shared_ptr<ProcessLauncher> launcher;
        // How the file manager is called; the session bus when empty.
        BusCall fileManager;
        std::chrono::milliseconds timeLimit{5000};
    };

    LinuxFileViewer() : LinuxFileViewer(Options()) {}
    explicit LinuxFileViewer(std::string opener);
    explicit LinuxFileViewer(Options options);

    bool openFolder(const std::string& path) override;
    bool openFile(const std::string& path) override;
    bool revealItem(const std::string& path) override;

  private:
    // Starts the opener with `target` and waits for it within the time limit.
    bool runOpener(const std::string& target);

    Options options_;
};

}  // namespace quillby
