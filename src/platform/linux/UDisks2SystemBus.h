// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <memory>

#include "platform/linux/UDisks2Bus.h"

struct sd_bus;

namespace quillby {

// The UDisks2 daemon on the system bus, through sd-bus. One connection for the length of an
// eject.
class UDisks2SystemBus final : public UDisks2Bus {
  public:
    // A connection, or nothing with the reason in `reason` and a positive error number in
    // `error`.
    static std::unique_ptr<UDisks2SystemBus> open(int& error, std::string& reason);
    ~UDisks2SystemBus() override;
    UDisks2SystemBus(const UDisks2SystemBus&) = delete;
    UDisks2SystemBus& operator=(const UDisks2SystemBus&) = delete;

    int call(const std::string& object, const std::string& interface, const std::string& method,
             std::string& reason) override;
    bool booleanProperty(const std::string& object, const std::string& interface,
                         const std::string& name) override;
    std::string objectProperty(const std::string& object, const std::string& interface,
                               const std::string& name) override;

  private:
    explicit UDisks2SystemBus(sd_bus* bus) : bus_(bus) {}
    sd_bus* bus_;
};

}  // namespace quillby
