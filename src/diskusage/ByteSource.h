// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <string_view>

namespace quillby {

// Where a streaming reader takes its bytes from, a piece at a time.
class ByteSource {
  public:
    virtual ~ByteSource() = default;
    // Up to `capacity` bytes into `buffer`: the number read, 0 at the end, -1 when reading
    // failed (errno says why).
    virtual long read(char* buffer, std::size_t capacity) = 0;
};

// Reads an open descriptor (which stays open), going on after interruptions.
class DescriptorSource : public ByteSource {
  public:
    explicit DescriptorSource(int fd) : fd_(fd) {}
    long read(char* buffer, std::size_t capacity) override;

  private:
    int fd_;
};

// Reads bytes held in memory (which must outlive the source).
class InMemoryByteSource : public ByteSource {
  public:
    explicit InMemoryByteSource(std::string_view bytes) : rest_(bytes) {}
    long read(char* buffer, std::size_t capacity) override;

  private:
    std::string_view rest_;
};

}  // namespace quillby
