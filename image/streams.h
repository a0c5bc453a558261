// Concrete streams: a file on disk and a growable block of memory.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "image/stream.h"

enum TFileMode { fmOpenRead, fmCreate, fmOpenReadWrite };

// A file opened read-only, created (truncated) or opened for reading and writing.
// Failures raise EOSError with the file system's text and the file name.
class TFileStream : public TStream {
 public:
  TFileStream(const std::string& fileName, TFileMode mode);
  ~TFileStream() override;
  TFileStream(const TFileStream&) = delete;
  TFileStream& operator=(const TFileStream&) = delete;
  std::size_t Read(void* buffer, std::size_t count) override;
  void Write(const void* buffer, std::size_t count) override;
  std::int64_t Seek(std::int64_t offset, TSeekOrigin origin) override;
  std::int64_t Size() override;
  // Flushes the written bytes to the disk; raises on failure.
  void Sync();

 private:
  int fd_;
  std::string fileName_;
};

// Bytes in memory; writing past the end grows it.
class TMemoryStream : public TStream {
 public:
  TMemoryStream() = default;
  explicit TMemoryStream(std::vector<std::uint8_t> bytes) : bytes_(std::move(bytes)) {}
  TMemoryStream(const std::uint8_t* data, std::size_t size) : bytes_(data, data + size) {}
  std::size_t Read(void* buffer, std::size_t count) override;
  void Write(const void* buffer, std::size_t count) override;
  std::int64_t Seek(std::int64_t offset, TSeekOrigin origin) override;
  std::int64_t Size() override { return static_cast<std::int64_t>(bytes_.size()); }
  const std::vector<std::uint8_t>& Bytes() const { return bytes_; }

 private:
  std::vector<std::uint8_t> bytes_;
  std::size_t position_ = 0;
};
