// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/FileViewer.h"
#include "platform/VolumeEjector.h"
#include "platform/VolumeSource.h"

namespace quillby {

class MainQueue;

// Ejects volumes and opens a volume's root folder. Keeps no state between calls.
class VolumesManager {
  public:
    // Missing services are taken from the installed platform.
    explicit VolumesManager(std::shared_ptr<VolumeSource> source = nullptr,
                            std::shared_ptr<VolumeEjector> ejector = nullptr,
                            std::shared_ptr<FileViewer> viewer = nullptr);

    // Ejects the mounted volume with this reference number; true on success. A failure (also
    // an unknown number) is logged as "Eject the volume %d failed result: %d", and said in
    // `failure` as a sentence for the user ("Could not eject NAME (ROOT): why.").
    bool ejectSingleVolume(std::int32_t refNumber, std::string* failure = nullptr);
    // Ejects every ejectable volume of a fresh enumeration, going on after a failure: -1 when
    // none is ejectable, 0 when all were ejected, 1 when at least one failed (each said in
    // `failures`).
    std::int32_t ejectAllVolumes(std::vector<std::string>* failures = nullptr);
    // Shows the folder in the file manager; false for no path or when it refused.
    bool openVolRootDir(const std::string& path);

    // The same on a worker, for the main thread, which must never wait for UDisks2, a tool or
    // the file manager: `done` gets the result on `queue`, false also when there was no answer
    // within the deadline (logged; a late eject still shows through the mount watcher). An
    // eject's `done` also gets the failure's sentence.
    void ejectSingleVolumeInBackground(
        std::int32_t refNumber, MainQueue& queue,
        std::function<void(bool ejected, const std::string& failure)> done);
    void ejectAllVolumesInBackground(MainQueue& queue, std::function<void(std::int32_t)> done);
    void openVolRootDirInBackground(const std::string& path, MainQueue& queue,
                                    std::function<void(bool)> done);

    // How long the background calls wait: an eject flushes the disk's cache first.
    static constexpr std::chrono::seconds kEjectDeadline{60};
    static constexpr std::chrono::seconds kOpenDeadline{10};
    void setDeadlines(std::chrono::milliseconds eject, std::chrono::milliseconds open) {
        ejectDeadline_ = eject;
        openDeadline_ = open;
    }

  private:
    std::shared_ptr<VolumeSource> source_;
    std::shared_ptr<VolumeEjector> ejector_;
    std::shared_ptr<FileViewer> viewer_;
    std::chrono::milliseconds ejectDeadline_ = kEjectDeadline;
    std::chrono::milliseconds openDeadline_ = kOpenDeadline;
};

}  // namespace quillby
