// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <filesystem>

#include "platform/MountChangeNotifier.h"

namespace quillby {

// Waits for mount-table changes by polling a mountinfo file for POLLPRI, which the kernel raises
// on every mount and unmount in the reader's mount namespace.
class LinuxMountChangeNotifier final : public MountChangeNotifier {
  public:
    // Usually <proc root>/self/mountinfo.
    explicit LinuxMountChangeNotifier(const std::filesystem::path& mountInfo);
    ~LinuxMountChangeNotifier() override;
    LinuxMountChangeNotifier(const LinuxMountChangeNotifier&) = delete;
    LinuxMountChangeNotifier& operator=(const LinuxMountChangeNotifier&) = delete;

    bool waitForChange(int timeoutMilliseconds) override;
    void stop() override;

  private:
    int tableFd_ = -1;
    int stopFd_ = -1;
};

}  // namespace quillby
