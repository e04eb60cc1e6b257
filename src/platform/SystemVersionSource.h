#pragma once

// Reports the running system's version as three numbers (on Linux the kernel release).
class SystemVersionSource {
  public:
    virtual ~SystemVersionSource() = default;
    // False when the version cannot be read; the outputs are then left as they were.
    virtual bool systemVersion(unsigned& major, unsigned& minor, unsigned& bugFix) = 0;
};
