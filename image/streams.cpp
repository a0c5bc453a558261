// The concrete streams: a POSIX file descriptor and a growable byte vector.
#include "image/streams.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <limits>

#include "platform/errors.h"

namespace {

int OpenFlags(TFileMode mode) {
  switch (mode) {
    case fmOpenRead:
      return O_RDONLY;
    case fmCreate:
      return O_RDWR | O_CREAT | O_TRUNC;
    case fmOpenReadWrite:
      return O_RDWR;
  }
  return O_RDONLY;
}

// The new position of a seek, or -1 when it would lie before the start or beyond any size.
std::int64_t SeekTarget(std::int64_t offset, TSeekOrigin origin, std::int64_t current,
                        std::int64_t size) {
  std::int64_t base = origin == soBeginning ? 0 : origin == soCurrent ? current : size;
  if (offset < -base || offset > std::numeric_limits<std::int64_t>::max() - base) return -1;
  return base + offset;
}

}  // namespace

TFileStream::TFileStream(const std::string& fileName, TFileMode mode)
    : fd_(-1), fileName_(fileName) {
  do {
    fd_ = ::open(fileName.c_str(), OpenFlags(mode) | O_CLOEXEC, 0666);
  } while (fd_ < 0 && errno == EINTR);
  if (fd_ < 0) throw EOSError(errno, fileName_);
}

TFileStream::~TFileStream() {
  ::close(fd_);
}

std::size_t TFileStream::Read(void* buffer, std::size_t count) {
  auto* bytes = static_cast<std::uint8_t*>(buffer);
  std::size_t done = 0;
  while (done < count) {
    ssize_t got = ::read(fd_, bytes + done, count - done);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) throw EOSError(errno, fileName_);
    if (got == 0) break;
    done += static_cast<std::size_t>(got);
  }
  return done;
}

void TFileStream::Write(const void* buffer, std::size_t count) {
  const auto* bytes = static_cast<const std::uint8_t*>(buffer);
  std::size_t done = 0;
  while (done < count) {
    ssize_t put = ::write(fd_, bytes + done, count - done);
    if (put < 0 && errno == EINTR) continue;
    if (put < 0) throw EOSError(errno, fileName_);
    done += static_cast<std::size_t>(put);
  }
}

std::int64_t TFileStream::Seek(std::int64_t offset, TSeekOrigin origin) {
  int whence = origin == soBeginning ? SEEK_SET : origin == soCurrent ? SEEK_CUR : SEEK_END;
  off_t position = ::lseek(fd_, static_cast<off_t>(offset), whence);
  if (position < 0) throw EOSError(errno, fileName_);
  return position;
}

std::int64_t TFileStream::Size() {
  struct stat status {};
  if (::fstat(fd_, &status) != 0) throw EOSError(errno, fileName_);
  return status.st_size;
}

void TFileStream::Sync() {
  if (::fsync(fd_) != 0) throw EOSError(errno, fileName_);
}

std::size_t TMemoryStream::Read(void* buffer, std::size_t count) {
  if (position_ >= bytes_.size()) return 0;
  std::size_t n = std::min(count, bytes_.size() - position_);
  std::memcpy(buffer, bytes_.data() + position_, n);
  position_ += n;
  return n;
}

void TMemoryStream::Write(const void* buffer, std::size_t count) {
  if (count == 0) return;
  if (position_ + count > bytes_.size()) bytes_.resize(position_ + count);
  std::memcpy(bytes_.data() + position_, buffer, count);
  position_ += count;
}

std::int64_t TMemoryStream::Seek(std::int64_t offset, TSeekOrigin origin) {
  std::int64_t target = SeekTarget(offset, origin, static_cast<std::int64_t>(position_), Size());
  if (target < 0) throw EOSError(EINVAL, "Seek outside a memory stream");
  position_ = static_cast<std::size_t>(target);
  return target;
}
