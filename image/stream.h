// The byte stream the image readers and writers work on: a file, or memory.
#pragma once

#include <cstddef>
#include <cstdint>

enum TSeekOrigin { soBeginning, soCurrent, soEnd };

class TStream {
 public:
  virtual ~TStream() = default;
  // Reads up to count bytes; returns how many were read (fewer at the end of the stream).
  virtual std::size_t Read(void* buffer, std::size_t count) = 0;
  // Writes count bytes or throws.
  virtual void Write(const void* buffer, std::size_t count) = 0;
  // Moves the position; returns the new position from the start. Throws when it would be negative.
  virtual std::int64_t Seek(std::int64_t offset, TSeekOrigin origin) = 0;
  virtual std::int64_t Size() = 0;
  std::int64_t Position() { return Seek(0, soCurrent); }
};
