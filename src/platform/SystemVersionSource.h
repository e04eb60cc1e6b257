// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace quillby {

// Reports the running system's version as three numbers (on Linux the kernel release).
class SystemVersionSource {
  public:
    virtual ~SystemVersionSource() = default;
    // False when the version cannot be read; the outputs are then left as they were.
    virtual bool systemVersion(unsigned& major, unsigned& minor, unsigned& bugFix) = 0;
};

}  // namespace quillby
