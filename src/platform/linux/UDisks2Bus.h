// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

namespace quillby {

// The requests an eject makes of the UDisks2 daemon, by object path, so that the order of the
// steps does not depend on a running daemon.
class UDisks2Bus {
  public:
    virtual ~UDisks2Bus() = default;
    // Calls a method whose only argument is an empty options dictionary: 0, or a positive error
    // number with the daemon's (or the bus's) words in `reason`.
    virtual int call(const std::string& object, const std::string& interface,
                     const std::string& method, std::string& reason) = 0;
    // A boolean property; false when it cannot be read.
    virtual bool booleanProperty(const std::string& object, const std::string& interface,
                                 const std::string& name) = 0;
    // An object-path property; empty when it cannot be read or is "/" (no object).
    virtual std::string objectProperty(const std::string& object, const std::string& interface,
                                       const std::string& name) = 0;
};

}  // namespace quillby
