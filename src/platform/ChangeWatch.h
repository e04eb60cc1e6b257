// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace quillby {

// A running watch for outside changes: it reports until this handle is destroyed, and the
// destructor returns only once no report is running any more.
class ChangeWatch {
  public:
    virtual ~ChangeWatch() = default;
};

}  // namespace quillby
