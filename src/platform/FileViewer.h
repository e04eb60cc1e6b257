#pragma once

#include <string>

// Shows a folder in the desktop's file manager.
class FileViewer {
  public:
    virtual ~FileViewer() = default;
    // True when the file manager accepted the request.
    virtual bool openFolder(const std::string& path) = 0;
};
