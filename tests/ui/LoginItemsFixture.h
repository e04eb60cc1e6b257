// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <sys/stat.h>

#include <filesystem>
#include <memory>
#include <string>

#include "platform/LoginItemsBackend.h"
#include "platform/Services.h"
#include "platform/linux/AutostartLoginItems.h"
#include "support/TestPlatform.h"

using namespace quillby;

// An autostart tree with one user entry ("Notes"), one system entry ("Backup") and one system
// entry the user turned off with an override ("Indexer"), installed as the login-items service.
class LoginItemsFixture {
  public:
    LoginItemsFixture() {
        program("usr/bin/notes");
        program("usr/bin/backup-agent");
        program("usr/bin/indexer");
        userEntry("notes.desktop",
                  "[Desktop Entry]\nType=Application\nName=Notes\nExec=notes --quiet\n"
                  "X-Version=2.4\n");
        systemEntry("backup.desktop",
                    "[Desktop Entry]\nType=Application\nName=Backup\nExec=backup-agent\n");
        systemEntry("indexer.desktop",
                    "[Desktop Entry]\nType=Application\nName=Indexer\nExec=indexer\n");
        userEntry("indexer.desktop",
                  "[Desktop Entry]\nType=Application\nName=Indexer\nExec=indexer\nHidden=true\n");
        Services::install<LoginItemsBackend>(
            std::make_shared<AutostartLoginItems>(platform.context()));
    }
    ~LoginItemsFixture() { Services::install<LoginItemsBackend>(nullptr); }

    std::filesystem::path userFolder() const {
        return platform.context().xdgConfigHome / "autostart";
    }
    std::filesystem::path userEntry(const std::string& name, const std::string& text) const {
        return write(userFolder() / name, text);
    }
    std::filesystem::path systemEntry(const std::string& name, const std::string& text) const {
        return write(platform.context().xdgConfigDirs.front() / "autostart" / name, text);
    }
    std::filesystem::path write(const std::filesystem::path& file, const std::string& text) const {
        return platform.root().write(
            std::filesystem::relative(file, platform.root().path()).string(), text);
    }
    std::filesystem::path program(const std::string& relative) const {
        auto file = platform.root().write(relative, "#!/bin/sh\n");
        ::chmod(file.c_str(), 0755);
        return file;
    }

    TestPlatform platform;
};
