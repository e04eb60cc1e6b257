// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

namespace quillby {

// Shows items in the desktop's file manager and opens documents. Every call may wait for the
// desktop (a bus call, a starting tool) up to a few seconds, so pages call it off the GUI thread.
class FileViewer {
  public:
    virtual ~FileViewer() = default;
    // True when the file manager accepted the request.
    virtual bool openFolder(const std::string& path) = 0;
    // Opens the item by the safe open rule (see core/fs/SafeOpenRule.h): a folder is shown, a plain
    // document opens with its default application, anything else is revealed. Never runs the
    // item itself. True when the desktop accepted the request; a viewer that only shows folders
    // answers false.
    virtual bool openFile(const std::string& /*path*/) { return false; }
    // Shows the item selected in its folder, else opens its folder.
    virtual bool revealItem(const std::string& /*path*/) { return false; }
};

}  // namespace quillby
