#pragma once

// A running watch for outside changes: it reports until this handle is destroyed, and the
// destructor returns only once no report is running any more.
class ChangeWatch {
  public:
    virtual ~ChangeWatch() = default;
};
