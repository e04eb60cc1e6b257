#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/FileViewer.h"
#include "platform/VolumeEjector.h"
#include "platform/VolumeSource.h"

// Ejects volumes and opens a volume's root folder. Keeps no state between calls.
class VolumesManager {
  public:
    // Missing services are taken from the installed platform.
    explicit VolumesManager(std::shared_ptr<VolumeSource> source = nullptr,
                            std::shared_ptr<VolumeEjector> ejector = nullptr,
                            std::shared_ptr<FileViewer> viewer = nullptr);

    // Ejects the mounted volume with this reference number; true on success. A failure (also
    // an unknown number) is logged as "Eject the volume %d failed result: %d".
    bool ejectSingleVolume(std::int32_t refNumber);
    // Ejects every ejectable volume of a fresh enumeration, going on after a failure: -1 when
    // none is ejectable, 0 when all were ejected, 1 when at least one failed.
    std::int32_t ejectAllVolumes();
    // Shows the folder in the file manager; false for no path or when it refused.
    bool openVolRootDir(const std::string& path);

  private:
    std::shared_ptr<VolumeSource> source_;
    std::shared_ptr<VolumeEjector> ejector_;
    std::shared_ptr<FileViewer> viewer_;
};
