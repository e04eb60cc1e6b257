#pragma once

#include <string>

#include "platform/FileViewer.h"

// Opens a folder through the session bus's org.freedesktop.FileManager1 (ShowFolders), else
// with xdg-open.
class LinuxFileViewer final : public FileViewer {
  public:
    explicit LinuxFileViewer(std::string opener = "xdg-open") : opener_(std::move(opener)) {}
    bool openFolder(const std::string& path) override;

  private:
    std::string opener_;
};
