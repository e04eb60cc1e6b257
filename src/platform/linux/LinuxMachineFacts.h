// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/MachineFactsSource.h"
#include "platform/PlatformContext.h"

namespace quillby {

// Machine facts from DMI (<sys>/class/dmi/id, else the device tree's model), <proc>/cpuinfo,
// <proc>/sys/kernel (else uname), <etc>/os-release and <proc>/meminfo.
class LinuxMachineFacts final : public MachineFactsSource {
  public:
    explicit LinuxMachineFacts(PlatformContext context) : context_(std::move(context)) {}
    PlatformMachineFacts machineFacts() override;

  private:
    std::string model() const;
    PlatformContext context_;
};

}  // namespace quillby
